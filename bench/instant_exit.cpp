// A compiler program that does nothing: it ends at once with code 0. With
// BENCH_OUTPUT_BYTES set it first prints that many bytes without a line end.
#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    const char* bytes = std::getenv("BENCH_OUTPUT_BYTES");
    const std::string block(65536, 'x');
    for (long long left = bytes ? std::atoll(bytes) : 0; left > 0; left -= 65536)
        std::fwrite(block.data(), 1, left < 65536 ? size_t(left) : block.size(), stdout);
    return 0;
}
