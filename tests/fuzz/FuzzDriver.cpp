// Stands in for libFuzzer where the compiler has none: runs every input of the seed corpus,
// then a fixed number of random mutations of them, so the suite still fuzzes each reader
// briefly. Usage: fuzz_<name> <corpus folder> [mutations]

#include <algorithm>
#include <array>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

// Pieces the readers give meaning to; splicing them in reaches deeper than random bytes.
constexpr std::array<std::string_view, 22> kTokens{
    "\r\n", "\n", "=", "&H", "&O", "e-999", "E+999", ".", "<tr><td>", "</td></tr>", "</table></td>",
    "<blink>", "</blink>", "&#9733;", "&nbsp;", "\"", "\\ud83c", "{\"name\":\"", "]}", "null", ",\"added\":\"",
    "<td width='50%' valign='top' align='center'><table border='0' width='90%' class='list' cellspacing='0' cellpadding='1'><tr><td class='listhead'>"};

std::string mutate(std::string input, std::mt19937 &random)
{
    const int changes = 1 + int(random() % 8);
    for (int c = 0; c < changes; ++c) {
        const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
        switch (random() % 5) {
        case 0:
            if (!input.empty())
                input[std::min(at, input.size() - 1)] ^= char(1u << (random() % 8));
            break;
        case 1:
            input.insert(at, 1, char(random() % 256));
            break;
        case 2:
            input.erase(at, random() % 16);
            break;
        case 3: {
            const std::size_t from = input.empty() ? 0 : random() % input.size();
            input.insert(at, input.substr(from, random() % 64));
            break;
        }
        default:
            input.insert(at, kTokens[random() % kTokens.size()]);
        }
    }
    if (input.size() > kMaxInput)
        input.resize(kMaxInput);
    return input;
}

const std::string *current = nullptr;

// An input that brings the program down is kept, as libFuzzer keeps its crashes.
extern "C" void keepCrashingInput(int signal)
{
    if (current) {
        if (std::FILE *file = std::fopen("fuzz-crash-input", "wb")) {
            std::fwrite(current->data(), 1, current->size(), file);
            std::fclose(file);
            std::fprintf(stderr, "the input that failed is in fuzz-crash-input\n");
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void run(const std::string &input)
{
    current = &input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
    current = nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder> [mutations]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> corpus;
    for (const auto &entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream file(entry.path(), std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    if (corpus.empty()) {
        std::fprintf(stderr, "empty corpus: %s\n", argv[1]);
        return 2;
    }
    std::sort(corpus.begin(), corpus.end());
    for (const int signal : {SIGABRT, SIGSEGV, SIGFPE, SIGILL})
        std::signal(signal, keepCrashingInput);
    for (const std::string &input : corpus)
        run(input);
    const long mutations = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 20000;
    std::mt19937 random(20261206);
    for (long i = 0; i < mutations; ++i)
        run(mutate(corpus[random() % corpus.size()], random));
    std::printf("%zu inputs and %ld mutations without a fault\n", corpus.size(), mutations);
    return 0;
}
