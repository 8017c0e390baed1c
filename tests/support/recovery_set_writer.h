// Recovery files for tests that cannot run par2cmdline (the Windows suites): one "_Split#.par2" with the
// critical packets and recovery slices of the given exponents over the named files of a folder.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/par2_packet_writer.h"

inline void WriteRecoveryFile(const std::string& folder, std::vector<std::string> names, uint64_t sliceSize,
                              const std::vector<uint32_t>& exponents) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : names) {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        files.push_back({name, std::string((std::istreambuf_iterator<char>(in)), {})});
    }
    const std::vector<uint8_t> out = CraftSet(files, sliceSize, exponents).AllPackets();
    std::ofstream(folder + "/_Split#.par2", std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}
