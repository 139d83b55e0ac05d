#include "hostile/samples/MovieSamples.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/MovieCheck.h"

namespace hostile {

namespace {

std::string makeMovie(const std::string& path, int width, int height) {
    // Full chroma, so that an odd side stays as it is.
    const std::string command = "ffmpeg -hide_banner -loglevel error -y -f lavfi -i color=c=gray:s=" +
                                std::to_string(width) + "x" + std::to_string(height) +
                                ":d=0.3:r=10,format=yuv444p -c:v libx264 -preset ultrafast -f mp4 '" + path + "'";
    return std::system(command.c_str()) == 0 ? path : "";
}

Outcome check(const std::string& path) {
    MovieCheck movie(path, "hostile movie", MovieCheck::Refused::KEEP);
    return movie.finish() ? Outcome::PASSES : Outcome::REFUSED;
}

} // namespace

Make movieOfSize(int width, int height) {
    return [width, height](const std::string& dir) { return makeMovie(dir + "/movie.mp4", width, height); };
}

Make movieChangedTo(int width, int height) {
    return [width, height](const std::string& dir) {
        makeMovie(dir + "/movie.mp4.next", width, height);
        return makeMovie(dir + "/movie.mp4", 1280, 720);
    };
}

Run checkMovie() {
    return check;
}

Run checkMovieThenChange() {
    return [](const std::string& sample) {
        if (check(sample) != Outcome::PASSES) {
            return Outcome::GIVEN_WAY;
        }
        std::rename((sample + ".next").c_str(), sample.c_str());
        return check(sample);
    };
}

} // namespace hostile
