#include "cat/join_target.h"

#include "cat/join_checks.h"
#include "cat/join_steps.h"
#include "cat/output_path.h"
#include "core/piece_header.h"
#include "core/recorded_name.h"
#include "core/volume_checks.h"
#include "platform/file.h"

std::optional<CatTarget> DecideCatTarget(const std::string& firstPiecePath, const std::string& firstPieceBytes,
                                         const std::vector<std::string>& piecePaths, uint64_t joinedBytes,
                                         const std::string& outputName, Messenger& messenger) {
    uint8_t window[kHeaderWindow];
    size_t windowLen = 0;
    {
        File first(firstPieceBytes, File::Mode::ReadDenyWrite);
        windowLen = ReadFirstPieceWindow(first, PiecePartsOf(firstPiecePath), window);
    }
    PieceHeader header;
    RecordedNameBuffers nameBuffers;
    const HeaderStatus status = ReadPieceHeaderForFiles(window, windowLen, &header, &nameBuffers);
    if (status == HeaderStatus::NoName)
        return CatTarget{};
    if (status != HeaderStatus::Ok) {
        messenger.Tell(told::NoOriginalName{firstPiecePath});
        return std::nullopt;
    }
    const std::string name = outputName.empty() ? std::string(header.name, header.nameLen) : outputName;
    const std::optional<bool> replace = MayWriteOutput(name, piecePaths, joinedBytes, std::nullopt, messenger);
    if (!replace)
        return std::nullopt;
    return CatTarget{replace};
}

std::optional<bool> MayWriteOutput(const std::string& name, const std::vector<std::string>& inputs,
                                   uint64_t joinedBytes, std::optional<bool> answered, Messenger& messenger) {
    const std::string outputPath = OutputPathFor(name);
    if (const std::string* input = InputAt(outputPath, inputs)) {
        messenger.Tell(OverwritesInput(outputPath, *input));
        return std::nullopt;
    }
    const std::optional<bool> replace = answered ? answered : MayTakeName(outputPath, messenger);
    if (!replace || !VolumeTakes(joinedBytes, joinedBytes, messenger) ||
        (!*replace && !CommitsWithoutReplacing(name, messenger)))
        return std::nullopt;
    return replace;
}
