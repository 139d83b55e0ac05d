#include "render/JpegDecode.h"

#include <SDL.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "base/InputLimits.h"
#include "base/Log.h"

namespace engine {

namespace {

constexpr size_t kBufferBytes = 64 * 1024;
// Working room beside the coefficients: libjpeg's tables, row buffers and the Huffman state.
constexpr long kWorkingBytes = 16 * 1024 * 1024;

struct Source {
    jpeg_source_mgr manager;
    SDL_RWops* stream;
    JOCTET buffer[kBufferBytes];
};

struct Failure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    const char* path;
};

struct Progress {
    jpeg_progress_mgr manager;
    bool tooManyScans = false;
};

void initSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info) {
    auto* source = reinterpret_cast<Source*>(info->src);
    const size_t size = SDL_RWread(source->stream, source->buffer, 1, kBufferBytes);
    if (size == 0) {
        // libjpeg's own answer to a cut file: an end marker, and it shows what it has.
        static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
        source->manager.next_input_byte = kEnd;
        source->manager.bytes_in_buffer = 2;
        return TRUE;
    }
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = size;
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count) {
    auto* source = reinterpret_cast<Source*>(info->src);
    while (count > static_cast<long>(source->manager.bytes_in_buffer)) {
        count -= static_cast<long>(source->manager.bytes_in_buffer);
        fillInput(info);
    }
    source->manager.next_input_byte += count;
    source->manager.bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

[[noreturn]] void onError(j_common_ptr info) {
    auto* failure = reinterpret_cast<Failure*>(info->err);
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    log("JPEG %s: %s", message, failure->path);
    std::longjmp(failure->jump, 1);
}

void onMessage(j_common_ptr, int) {}

// The scans are counted as libjpeg reads them; past the limit the decode stops.
void onProgress(j_common_ptr common) {
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > limits::kJpegScans) {
        reinterpret_cast<Progress*>(common->progress)->tooManyScans = true;
        ERREXIT(common, JERR_NOTIMPL);
    }
}

} // namespace

SDL_Surface* decodeJpeg(SDL_RWops* stream, const char* path, int maxSide) {
    jpeg_decompress_struct info{};
    Failure failure{};
    failure.path = path;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = onError;
    failure.manager.emit_message = onMessage;
    auto* source = static_cast<Source*>(std::malloc(sizeof(Source)));
    Progress progress{};
    progress.manager.progress_monitor = onProgress;
    SDL_Surface* volatile surface = nullptr;
    if (!source || setjmp(failure.jump)) {
        if (progress.tooManyScans) {
            log("picture of more than %d scans: %s", limits::kJpegScans, path);
        }
        jpeg_destroy_decompress(&info);
        std::free(source);
        SDL_FreeSurface(surface);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    source->stream = stream;
    source->manager = {nullptr, 0, initSource, fillInput, skipInput, jpeg_resync_to_restart, termSource};
    info.src = &source->manager;
    info.progress = &progress.manager;
    jpeg_read_header(&info, TRUE);
    if (static_cast<int>(info.image_width) > maxSide || static_cast<int>(info.image_height) > maxSide) {
        log("picture of %ux%u is larger than %dx%d: %s", info.image_width, info.image_height, maxSide, maxSide, path);
        std::longjmp(failure.jump, 1);
    }
    // A progressive picture keeps every coefficient: two bytes a sample of three full components.
    info.mem->max_memory_to_use = kWorkingBytes + 6L * info.image_width * info.image_height;
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    surface = SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(info.output_width),
                                             static_cast<int>(info.output_height), 32, SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        ERREXIT(&info, JERR_OUT_OF_MEMORY);
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = static_cast<JSAMPROW>(surface->pixels) + info.output_scanline * surface->pitch;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(source);
    return surface;
}

} // namespace engine
