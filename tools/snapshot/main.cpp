// quorvel-snapshot: runs the demo headless, exactly as the program runs,
// and writes what its window presented after the last buffer swap as a PNG.
//
//   quorvel-snapshot [--answer yes|no] [--frames N] [--out FILE]
//                    [--screen WxH] [--dir DIR]
//
// Exits with the demo's own status; 2 for a bad option; 1 when the picture
// could not be written.
#include "demo.h"
#include "png_file.h"
#include "snapshot_session.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: quorvel-snapshot [--answer yes|no] [--frames N] [--out FILE] [--screen WxH]\n"
    "                        [--dir DIR]\n"
    "  --answer yes|no  answer to the full-screen question (default no)\n"
    "  --frames N       frames the demo draws before Escape ends it (default 3)\n"
    "  --out FILE       the PNG to write (default isometric.png); a relative name\n"
    "                   is taken from the current directory, not from --dir\n"
    "  --screen WxH     size of the virtual screen (default the host's, 1920x1080)\n"
    "  --dir DIR        folder the demo runs in and reads its textures from\n";

struct Options {
    snapshot::Session session;
    std::string out = "isometric.png";
    std::string dir;
};

bool ParseInt(std::string_view text, int& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseSize(std::string_view text, int& width, int& height) {
    size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    return ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) &&
           width > 0 && height > 0 && width <= 16384 && height <= 16384;
}

// False with a message for anything that is not a known option with a
// sound value.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string_view name = argv[i];
        std::string_view value;
        if (size_t eq = name.find('='); name.starts_with("--") && eq != std::string_view::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        } else if (name == "--answer" || name == "--frames" || name == "--out" ||
                   name == "--screen" || name == "--dir") {
            if (i + 1 >= argc) {
                error = std::string(name) + " needs a value";
                return false;
            }
            value = argv[++i];
        } else {
            error = "unknown option '" + std::string(name) + "'";
            return false;
        }
        if (name == "--answer") {
            if (value == "yes")
                options.session.answer_yes = true;
            else if (value == "no")
                options.session.answer_yes = false;
            else {
                error = "--answer takes yes or no, not '" + std::string(value) + "'";
                return false;
            }
        } else if (name == "--frames") {
            int frames = 0;
            if (!ParseInt(value, frames) || frames < 1 || frames > 1000000) {
                error = "--frames takes a whole number from 1, not '" + std::string(value) + "'";
                return false;
            }
            options.session.frames = frames;
        } else if (name == "--out") {
            if (value.empty()) {
                error = "--out needs a file name";
                return false;
            }
            options.out = value;
        } else if (name == "--screen") {
            if (!ParseSize(value, options.session.screen_width, options.session.screen_height)) {
                error = "--screen takes WIDTHxHEIGHT, not '" + std::string(value) + "'";
                return false;
            }
        } else if (name == "--dir") {
            if (value.empty()) {
                error = "--dir needs a folder";
                return false;
            }
            options.dir = value;
        } else {
            error = "unknown option '" + std::string(name) + "'";
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "quorvel-snapshot: %s\n%s", error.c_str(), kUsage);
        return 2;
    }

    // The output is opened before the demo runs, so that a path that cannot
    // be written fails at once, and before --dir, so that a relative name
    // means what it meant where the tool was started. Opened for appending,
    // so that an existing picture survives a run that produces none.
    std::string out_path = options.out;
    if (out_path.front() != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd)) out_path = std::string(cwd) + "/" + out_path;
    }
    const bool existed = access(out_path.c_str(), F_OK) == 0;
    std::FILE* out = std::fopen(out_path.c_str(), "ab");
    if (!out) {
        std::fprintf(stderr, "quorvel-snapshot: cannot write '%s': %s\n", options.out.c_str(),
                     std::strerror(errno));
        return 1;
    }
    auto fail = [&](const std::string& why) {
        std::fclose(out);
        if (!existed) std::remove(out_path.c_str());
        std::fprintf(stderr, "quorvel-snapshot: %s\n", why.c_str());
        return 1;
    };
    if (!options.dir.empty() && chdir(options.dir.c_str()) != 0)
        return fail("cannot enter '" + options.dir + "': " + std::strerror(errno));

    snapshot::Outcome outcome = snapshot::Run(options.session, RunIsometricDemo);

    if (!outcome.captured) return fail("the demo presented no frame; nothing written");
    if (ftruncate(fileno(out), 0) != 0)
        return fail("cannot write '" + options.out + "': " + std::strerror(errno));
    bool written = snapshot::WritePng(out, outcome.image.width, outcome.image.height,
                                      outcome.image.rgba, error);
    if (std::fclose(out) != 0 && written) {
        written = false;
        error = std::strerror(errno);
    }
    if (!written) {
        // Half a PNG is worse than none.
        std::remove(out_path.c_str());
        std::fprintf(stderr, "quorvel-snapshot: cannot write '%s': %s\n", options.out.c_str(),
                     error.c_str());
        return 1;
    }
    if (outcome.presented != options.session.frames)
        std::fprintf(stderr, "quorvel-snapshot: the demo drew %d frames (asked for %d)\n",
                     outcome.presented, options.session.frames);
    std::fprintf(stderr, "quorvel-snapshot: %dx%d frame written to %s\n", outcome.image.width,
                 outcome.image.height, options.out.c_str());
    return outcome.status;
}
