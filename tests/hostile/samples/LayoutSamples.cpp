#include "hostile/samples/LayoutSamples.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "layout/CSLoader.h"
#include "platform/FileUtils.h"
#include "scene/Node.h"

namespace hostile {

namespace {

const char* const kHead = R"({"format": "classroom-layout", "version": 1, "root": )";

std::string write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string layout(const std::string& root) { return kHead + root + "}"; }

std::string loginLayout(const std::string& rootName, const std::string& missing, float fontSize) {
    std::string children;
    for (const char* name : {"UserName", "PassWord", "Btn_Login"}) {
        if (missing != name) {
            children += std::string(R"({"kind": "Node", "name": ")") + name + R"("}, )";
        }
    }
    children += R"({"kind": "Text", "text": "Sign in", "fontSize": )" + std::to_string(fontSize) + "}";
    return layout(R"({"kind": "Node", "name": ")" + rootName + R"(", "children": [)" + children + "]}");
}

std::string plist(const std::string& value) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>k</key>" + value +
           "</dict></plist>\n";
}

} // namespace

Make layoutOfBytes(size_t bytes) {
    return [bytes](const std::string& dir) {
        std::string text = layout(R"({"kind": "Node"})");
        text.insert(text.size() - 1, bytes - text.size(), ' ');
        return write(dir + "/bytes.csb", text);
    };
}

Make layoutOfNodes(int nodes) {
    return [nodes](const std::string& dir) {
        std::string children;
        for (int i = 1; i < nodes; ++i) {
            children += i == 1 ? R"({"kind": "Node"})" : R"(, {"kind": "Node"})";
        }
        return write(dir + "/nodes.csb", layout(R"({"kind": "Node", "children": [)" + children + "]}"));
    };
}

Make layoutOfNodeDepth(int levels) {
    return [levels](const std::string& dir) {
        std::string root = R"({"kind": "Node"})";
        for (int i = 1; i < levels; ++i) {
            root = R"({"kind": "Node", "children": [)" + root + "]}";
        }
        return write(dir + "/depth.csb", layout(root));
    };
}

Make layoutOfJsonDepth(int levels) {
    return [levels](const std::string& dir) {
        // The file's object and the root node are two levels.
        const std::string arrays = std::string(levels - 2, '[') + std::string(levels - 2, ']');
        return write(dir + "/json.csb", layout(R"({"kind": "Node", "x": )" + arrays + "}"));
    };
}

Make layoutOfNumber(double number) {
    return [number](const std::string& dir) {
        char width[32];
        std::snprintf(width, sizeof width, "%.17g", number);
        return write(dir + "/number.csb",
                     layout(std::string(R"({"kind": "Text", "text": "Hi", "size": [)") + width + ", 40]}"));
    };
}

Run readLayout() {
    return [](const std::string& sample) {
        return engine::CSLoader::createNode(sample) ? Outcome::PASSES : Outcome::REFUSED;
    };
}

Make packLogin(const std::string& missing, float fontSize) {
    return [missing, fontSize](const std::string& dir) {
        std::filesystem::create_directories(dir + "/pack");
        std::filesystem::create_directories(dir + "/own");
        write(dir + "/pack/LoginScene.csb", loginLayout("pack", missing, fontSize));
        write(dir + "/own/LoginScene.csb", loginLayout("own", "", 28));
        return dir;
    };
}

Run loadLogin() {
    return [](const std::string& dir) {
        engine::FileUtils* files = engine::FileUtils::getInstance();
        const std::vector<std::string> before = files->getSearchPaths();
        files->setSearchPaths({dir + "/pack/", dir + "/own/"});
        engine::Node* root = engine::CSLoader::createNode("LoginScene.csb", {"UserName", "PassWord", "Btn_Login"});
        files->setSearchPaths(before);
        if (!root) {
            return Outcome::REFUSED;
        }
        return root->getName() == "pack" ? Outcome::PASSES : Outcome::GIVEN_WAY;
    };
}

Make plistOfBytes(size_t bytes) {
    return [bytes](const std::string& dir) {
        const std::string empty = plist("<string></string>");
        return write(dir + "/bytes.plist", plist("<string>" + std::string(bytes - empty.size(), 'a') + "</string>"));
    };
}

Make plistOfValues(int values) {
    return [values](const std::string& dir) {
        std::string items;
        for (int i = 1; i < values; ++i) {
            items += "<true/>";
        }
        return write(dir + "/values.plist", plist("<array>" + items + "</array>"));
    };
}

Make plistOfDepth(int levels) {
    return [levels](const std::string& dir) {
        std::string value = "<true/>";
        for (int i = 1; i < levels; ++i) {
            value = "<array>" + value + "</array>";
        }
        return write(dir + "/depth.plist", plist(value));
    };
}

Run readPlist() {
    return [](const std::string& sample) {
        const engine::ValueMap map = engine::FileUtils::getInstance()->getValueMapFromFile(sample);
        return map.count("k") ? Outcome::PASSES : Outcome::REFUSED;
    };
}

} // namespace hostile
