// Feeds arbitrary bytes to the BMP decoder, both from memory and through
// the file reader that LoadImageA uses, and to the framework's header
// reader. Any crash, sanitizer report, or disagreement between the two
// decoding paths is a finding.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gdi/bmp_decode.h"
#include "quorvel/image.h"

namespace {

// One in-memory file, rewritten for every input.
struct MemFile {
    int fd = -1;
    std::string path;
    MemFile() {
        fd = memfd_create("qv-bmp-fuzz", MFD_CLOEXEC);
        if (fd < 0) std::abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    void Set(const uint8_t* data, size_t size) {
        if (ftruncate(fd, 0) != 0) std::abort();
        size_t done = 0;
        while (done < size) {
            ssize_t n = pwrite(fd, data + done, size - done, off_t(done));
            if (n <= 0) std::abort();
            done += size_t(n);
        }
    }
};

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemFile file;
    auto mem = qv::gdi::DecodeBmp(data, size);
    if (mem) {
        Check(mem->width > 0 && mem->height > 0, "positive size");
        Check(uint64_t(mem->width) * uint64_t(mem->height) <= qv::gdi::kMaxPixels, "pixel cap");
        Check(mem->stride >= (size_t(mem->width) * size_t(mem->bpp) + 7) / 8, "stride holds a row");
        Check(mem->Bytes() <= size, "pixels come from the input");
        Check(mem->bpp > 8 || !mem->colors.empty(), "indexed pictures have a table");
        // Touch the first and last byte of the pixel memory.
        volatile uint8_t sink = mem->bits.get()[0];
        sink = mem->bits.get()[mem->Bytes() - 1];
        (void)sink;
    }

    file.Set(data, size);
    int first = -2;
    auto disk = qv::gdi::LoadBmpFile(file.path.c_str(), &first);
    Check(!mem == !disk, "memory and file decoding agree on success");
    if (mem && disk) {
        Check(mem->Bytes() == disk->Bytes() &&
                  std::memcmp(mem->bits.get(), disk->bits.get(), mem->Bytes()) == 0,
              "memory and file decoding give the same pixels");
        Check((first >= 0) == (disk->bpp <= 8), "first index only for indexed pictures");
        Check(first < (1 << (disk->bpp <= 8 ? disk->bpp : 0)) || disk->bpp > 8,
              "first index within the depth");
    }
    (void)quorvel::GETBMPDEPTH(file.path.c_str());
    return 0;
}
