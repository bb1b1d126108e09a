// quorvel-snapshot as a user runs it: a PNG of the presented client area
// and the demo's status, a usage message and status 2 for bad options, and
// a clear failure for an output it cannot write.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string ToolPath() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "quorvel-snapshot";
    std::string self(path, size_t(n));
    // Tests land in build/tests, tools in build/bin.
    return self.substr(0, self.rfind('/')) + "/../bin/quorvel-snapshot";
}

struct Result {
    int status = -1;
    std::string err;
};

Result RunTool(std::vector<std::string> args) {
    args.insert(args.begin(), ToolPath());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    Result r;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        r.err.append(buf, size_t(n));
    close(fds[0]);
    if (spawned != 0) return r;
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

std::string TempDir() {
    char pattern[] = "/tmp/quorvel-snapshot-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

uint32_t BigEndian(const std::vector<unsigned char>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

TEST(SnapshotTool, WritesThePresentedClientAreaAsPng) {
    ASSERT_EQ(access(ToolPath().c_str(), X_OK), 0) << ToolPath() << " is not built";
    const std::string dir = TempDir(), out = dir + "/frame.png";
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    // --dir names where the textures are; the output stays where asked.
    Result r = RunTool({"--frames", "2", "--out", out, "--dir", cwd});
    EXPECT_EQ(r.status, 0) << r.err;

    std::ifstream in(out, std::ios::binary);
    std::vector<unsigned char> png((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(png.size(), 33u + 12u);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_TRUE(std::equal(signature, signature + 8, png.begin()));
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    // The captioned 800 by 600 window's client area: 6 narrower, 22 shorter.
    EXPECT_EQ(BigEndian(png, 16), 794u);
    EXPECT_EQ(BigEndian(png, 20), 578u);
    EXPECT_EQ(png[24], 8) << "bit depth";
    EXPECT_EQ(png[25], 2) << "RGB";
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
    std::remove(out.c_str());
    rmdir(dir.c_str());
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A BMP file and info header for a width x height picture of `bits` bits.
std::vector<unsigned char> BmpHeader(int width, int height, int bits, uint32_t offset) {
    std::vector<unsigned char> h(54, 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            h[at + i] = (v >> (8 * i)) & 0xff;
    };
    h[0] = 'B', h[1] = 'M';
    put(10, offset, 4);
    put(14, 40, 4);
    put(18, uint32_t(width), 4);
    put(22, uint32_t(height), 4);
    put(26, 1, 2);
    put(28, uint32_t(bits), 2);
    return h;
}

TEST(SnapshotTool, DemoStillDrawsAndEndsWithMissingOrBadTextures) {
    ASSERT_EQ(access(ToolPath().c_str(), X_OK), 0) << ToolPath() << " is not built";
    const std::string dir = TempDir(), out = dir + "/frame.png";
    // No floor at all; rock not a BMP; stone blocks of 8 bits; marble with
    // a sound header and its pixels cut off.
    std::vector<unsigned char> junk(200, 'x');
    WriteFile(dir + "/rock.bmp", junk);
    std::vector<unsigned char> eight = BmpHeader(16, 16, 8, 54 + 1024);
    eight.resize(54 + 1024 + 256, 0x40);
    WriteFile(dir + "/stoneblocks.bmp", eight);
    std::vector<unsigned char> cut = BmpHeader(256, 256, 24, 54);
    cut.resize(54 + 300, 0x80);
    WriteFile(dir + "/marmorizato.bmp", cut);

    Result r = RunTool({"--dir", dir, "--out", out});
    EXPECT_EQ(r.status, 0) << r.err;
    struct stat st {};
    EXPECT_EQ(stat(out.c_str(), &st), 0) << r.err;
    EXPECT_GT(st.st_size, 1000) << "the scene, untextured, is still a picture";
    for (const char* f : {"/frame.png", "/rock.bmp", "/stoneblocks.bmp", "/marmorizato.bmp"})
        std::remove((dir + f).c_str());
    rmdir(dir.c_str());
}

TEST(SnapshotTool, RejectsBadOptionsWithUsageAndStatusTwo) {
    ASSERT_EQ(access(ToolPath().c_str(), X_OK), 0) << ToolPath() << " is not built";
    const std::vector<std::vector<std::string>> cases = {
        {"--answer", "maybe"}, {"--answer"},        {"--frames", "0"},
        {"--frames", "-3"},    {"--frames", "2x"},  {"--screen", "800"},
        {"--screen", "0x600"}, {"--screen", "axb"}, {"--out", ""},
        {"--bogus"},           {"stray"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args)
            shown += "'" + a + "' ";
        SCOPED_TRACE(shown);
        Result r = RunTool(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("usage: quorvel-snapshot"), std::string::npos) << r.err;
    }
}

TEST(SnapshotTool, FailsClearlyOnAnOutputItCannotWrite) {
    ASSERT_EQ(access(ToolPath().c_str(), X_OK), 0) << ToolPath() << " is not built";
    const std::string dir = TempDir();
    for (const std::string& out : {std::string("/nonexistent-quorvel-dir/frame.png"), dir}) {
        SCOPED_TRACE(out);
        Result r = RunTool({"--out", out});
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find("cannot write '" + out + "'"), std::string::npos) << r.err;
    }
    rmdir(dir.c_str());
}

} // namespace
