// A compiler program for the tests: records how it was called and ends as
// it is told. Files beside the program, named after the program's file name
// NAME ("myc.exe", "compile.exe"), say what to do:
//   calls.log    one line appended per call: NAME, then each argument, all
//                separated by tabs
//   NAME.code    the exit code (0 when absent); "crash" makes it abort
//   NAME.out     printed to the standard output
//   NAME.err     copied to the first argument followed by ".ERR"
//   NAME.sleep   milliseconds to wait before ending
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

namespace {

std::string readAll(const std::string& path, bool& found) {
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string self = argv[0];
    const std::string::size_type cut = self.find_last_of('/');
    const std::string folder = cut == std::string::npos ? std::string() : self.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? self : self.substr(cut + 1);

    {
        std::ofstream log(folder + "calls.log", std::ios::app | std::ios::binary);
        log << name;
        for (int i = 1; i < argc; ++i) log << '\t' << argv[i];
        log << '\n';
    }
    bool found = false;
    const std::string out = readAll(folder + name + ".out", found);
    if (found) std::cout << out << std::flush;
    const std::string errors = readAll(folder + name + ".err", found);
    if (found && argc > 1) {
        std::ofstream err(std::string(argv[1]) + ".ERR", std::ios::binary | std::ios::trunc);
        err << errors;
    }
    const std::string sleep = readAll(folder + name + ".sleep", found);
    if (found) std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(sleep.c_str())));
    const std::string code = readAll(folder + name + ".code", found);
    if (found && code.rfind("crash", 0) == 0) std::abort();
    return found ? std::atoi(code.c_str()) : 0;
}
