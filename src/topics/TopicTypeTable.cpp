#include "topics/TopicTypeTable.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

#include "topics/ClickColor.h"
#include "topics/ClickPlay.h"
#include "topics/DemoTopic.h"
#include "topics/DirOperate.h"
#include "topics/DragImage.h"
#include "topics/DragSort.h"
#include "topics/FillNumSymbol.h"
#include "topics/Jigsaw.h"
#include "topics/LineImage.h"
#include "topics/PinYinTopic.h"
#include "topics/ShiZiTopic.h"
#include "topics/ShowAnswer.h"
#include "topics/SingleTopic.h"
#include "topics/SpecialTopic.h"
#include "topics/TopicLayer.h"

namespace {

struct CodeRange {
    int first;
    int last;
    const char* type;
};

// The LayoutModel table: every code of a range makes the named type.
const CodeRange kLayoutModels[] = {
    {101, 103, "ClickPlay"},          {201, 213, "ShowAnswer"},         {301, 303, "LineImage"},
    {401, 403, "ClickColor"},         {501, 511, "DragImage"},          {601, 601, "Jigsaw"},
    {701, 714, "FillNumSymbol"},      {801, 804, "DirOperate"},         {901, 902, "DragSort"},
    {100101, 100124, "DemoTopic"},    {101001, 101001, "SingleTopic"},  {101101, 101101, "SpecialTopic"},
    {101201, 101213, "SpecialTopic"}, {101301, 101304, "SpecialTopic"}, {101401, 101402, "SpecialTopic"},
    {101501, 101551, "SpecialTopic"}, {101601, 101601, "SpecialTopic"}, {101701, 101701, "SpecialTopic"},
    {101801, 101802, "SpecialTopic"}, {101901, 101903, "SpecialTopic"}, {319001, 319002, "PinYinTopic"},
    {319101, 319102, "PinYinTopic"},  {319201, 319222, "PinYinTopic"},  {319501, 319506, "PinYinTopic"},
    {320101, 320102, "ShiZiTopic"},   {320201, 320201, "ShiZiTopic"},
};

struct TypeEntry {
    const char* type;
    std::function<engine::Node*()> create;
    // The codes whose "Btn_Func3" calls this type's show-answer, and that call on a layer of the type.
    std::vector<int> showAnswerCodes;
    std::function<bool(TopicLayer*, engine::Node*)> showAnswer;
};

template <class T> std::function<engine::Node*()> maker() {
    return [] { return static_cast<engine::Node*>(T::create()); };
}

// Calls T::showAnswer on a layer of type T.
template <class T> std::function<bool(TopicLayer*, engine::Node*)> answerer() {
    return [](TopicLayer*, engine::Node* layer) {
        T* typed = dynamic_cast<T*>(layer);
        if (typed) {
            typed->showAnswer();
        }
        return typed != nullptr;
    };
}

// The types in the program; a type of the table that is missing here makes no layer.
const std::vector<TypeEntry>& registeredTypes() {
    static const std::vector<TypeEntry> types = {
        {"SingleTopic", maker<SingleTopic>(), {}, nullptr},
        {"ShiZiTopic", maker<ShiZiTopic>(), {}, nullptr},
        {"ShowAnswer", maker<ShowAnswer>(), {}, nullptr},
        {"DragImage", maker<DragImage>(), {501, 503, 505, 509, 510, 511}, answerer<DragImage>()},
        {"DemoTopic", maker<DemoTopic>(), {100106, 100113, 100114, 100115, 100116}, answerer<DemoTopic>()},
        // Tap-to-play, colour-fill, drag-sort and number pages.
        {"ClickPlay", maker<ClickPlay>(), {}, nullptr},
        {"ClickColor", maker<ClickColor>(), {}, nullptr},
        {"DragSort", maker<DragSort>(), {901}, answerer<DragSort>()},
        {"FillNumSymbol", maker<FillNumSymbol>(), {701, 708, 713, 714}, answerer<FillNumSymbol>()},
        // Line matching, jigsaw, direction and pinyin pages.
        {"LineImage",
         maker<LineImage>(),
         {301, 302, 303},
         [](TopicLayer* host, engine::Node* layer) {
             auto* lines = dynamic_cast<LineImage*>(layer);
             if (lines && host) {
                 host->showResult(lines->showAnswer(), nullptr);
             }
             return lines != nullptr;
         }},
        {"Jigsaw", maker<Jigsaw>(), {}, nullptr},
        {"DirOperate", maker<DirOperate>(), {801, 802}, answerer<DirOperate>()},
        {"PinYinTopic",
         maker<PinYinTopic>(),
         {319001, 319501, 319502, 319503, 319504, 319505, 319506},
         answerer<PinYinTopic>()},
        // Special topic pages.
        {"SpecialTopic",
         maker<SpecialTopic>(),
         {101303, 101502, 101507, 101508, 101511, 101515, 101525, 101526, 101529, 101530, 101531, 101538, 101539,
          101601, 101801, 101802},
         answerer<SpecialTopic>()},
    };
    return types;
}

const TypeEntry* entryOf(int code) {
    const std::string type = TopicTypeTable::typeName(code);
    for (const TypeEntry& entry : registeredTypes()) {
        if (type == entry.type) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

std::string TopicTypeTable::typeName(int code) {
    for (const CodeRange& range : kLayoutModels) {
        if (code >= range.first && code <= range.last) {
            return range.type;
        }
    }
    return "";
}

engine::Node* TopicTypeTable::createType(int code) {
    const TypeEntry* entry = entryOf(code);
    return entry ? entry->create() : nullptr;
}

bool TopicTypeTable::showAnswer(int code, TopicLayer* host, engine::Node* layer) {
    const TypeEntry* entry = entryOf(code);
    if (!entry || !layer || !entry->showAnswer ||
        std::find(entry->showAnswerCodes.begin(), entry->showAnswerCodes.end(), code) == entry->showAnswerCodes.end()) {
        return false;
    }
    return entry->showAnswer(host, layer);
}
