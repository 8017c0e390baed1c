// A fresh folder for one test, removed with everything in it afterwards.
// Paths it hands out use '\\', like the rest of the program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/path_text.h"

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("fendrik-test-" + std::to_string(rd()));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::current_path(saved_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder as the program spells it.
    std::string Path() const { return PortablePath(path_.string()); }
    std::string File(const std::string& name) const { return Path() + "\\" + name; }
    std::filesystem::path Native(const std::string& name) const { return path_ / name; }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }
    // Makes this folder the current directory until the TempDir goes away.
    void Enter() {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }

private:
    std::filesystem::path path_;
    std::filesystem::path saved_ = std::filesystem::current_path();
};

// Deterministic test data.
inline std::string TestBytes(size_t n, uint32_t seed = 1) {
    std::string s(n, '\0');
    std::mt19937 gen(seed);
    for (auto& c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}
