// The built libCoastfit.so as the program meets it: loaded by file name, ccoeff bound by name.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "solver/coastfit.h"

namespace {

std::string libraryPath() {
    const char* bin = std::getenv("TW_BIN_DIR");
    return std::string(bin ? bin : ".") + "/libCoastfit.so";
}

// Names of the symbols the shared object defines in its dynamic symbol table.
std::set<std::string> exportedSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (file.size() < sizeof(Elf64_Ehdr)) return names;
    Elf64_Ehdr eh;
    std::memcpy(&eh, file.data(), sizeof eh);
    auto section = [&](size_t i) {
        Elf64_Shdr sh;
        std::memcpy(&sh, file.data() + eh.e_shoff + i * eh.e_shentsize, sizeof sh);
        return sh;
    };
    for (size_t i = 0; i < eh.e_shnum; ++i) {
        const Elf64_Shdr sym = section(i);
        if (sym.sh_type != SHT_DYNSYM) continue;
        const Elf64_Shdr str = section(sym.sh_link);
        for (size_t k = 0; k < sym.sh_size / sizeof(Elf64_Sym); ++k) {
            Elf64_Sym s;
            std::memcpy(&s, file.data() + sym.sh_offset + k * sizeof s, sizeof s);
            const int bind = ELF64_ST_BIND(s.st_info);
            if (s.st_shndx != SHN_UNDEF && (bind == STB_GLOBAL || bind == STB_WEAK))
                names.insert(file.data() + str.sh_offset + s.st_name);
        }
    }
    return names;
}

TEST(Library, ExportsCcoeffAlone) {
    EXPECT_EQ(exportedSymbols(libraryPath()), std::set<std::string>{"ccoeff"});
}

TEST(Library, LoadedByFileNameGivesTheSameResultsAsTheDirectCall) {
    void* handle = dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto loaded = reinterpret_cast<CcoeffFunction>(dlsym(handle, "ccoeff"));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(dlsym(handle, "_ccoeff@48"), nullptr);

    const int N = 500, m = 3;
    std::vector<double> v(m * (N + 1)), p(m * 6);
    for (int i = 0; i < m; ++i) {
        const double F0 = 140 + 25 * i, k = 0.38 + 0.04 * i, M = 1500, v0 = 30;
        for (int j = 1; j <= N; ++j)
            v[i * (N + 1) + j] = std::sqrt(F0 / k) * std::tan(std::atan(std::sqrt(k / F0) * v0) -
                                                              std::sqrt(F0 * k) * (j - 1) * 0.1 / M) +
                                 0.01 * std::sin(3.7 * j + i);
        double* q = &p[i * 6];
        q[1] = 1400, q[2] = M, q[3] = 0.98, q[4] = 18, q[5] = 2.3;
    }
    for (int32_t mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        std::vector<double> r1(4 * m + 1), e1(m + 1), f1(m * (N + 1)), r2 = r1, e2 = e1, f2 = f1;
        ccoeff(v.data(), N, m, p.data(), 0.1, 1e4, mode, r1.data(), e1.data(), f1.data());
        loaded(v.data(), N, m, p.data(), 0.1, 1e4, mode, r2.data(), e2.data(), f2.data());
        EXPECT_NE(r1[1], 0.0);
        EXPECT_EQ(r1, r2);
        EXPECT_EQ(e1, e2);
        EXPECT_EQ(f1, f2);
    }
    dlclose(handle);
}

}  // namespace
