// Copying one input to the output, and the messages of a failed join.
#include "cat/join_steps.h"

void CopyToEnd(File& input, File& output, std::vector<uint8_t>& buffer) {
    for (;;) {
        const size_t got = input.Read(buffer.data(), buffer.size());
        if (got == 0)
            return;
        output.Write(buffer.data(), got);
    }
}

void ReportCatError(Messenger& messenger, const std::string& description) {
    messenger.Show("Error on Subroutine: CatFiles\n" + description, Icon::Hand);
}

std::string OverwriteDescription(const std::string& outputPath, const std::string& input) {
    return "The catenated file " + outputPath + " would overwrite the input file " + input + ". Nothing was written.";
}
