// A set with a gap or two names for one number is refused whole, and an existing file is never
// replaced without a question whose default answer keeps it.
#include "cat/join_checks.h"

#include "cat/output_path.h"
#include "cat/partial_output.h"
#include "core/name_bytes.h"
#include "core/piece_name.h"
#include "core/piece_tally.h"
#include "platform/file.h"

std::optional<Outcome> SetProblem(const std::vector<std::string>& piecePaths) {
    PieceTally tally;
    std::vector<std::string> names;
    for (const std::string& path : piecePaths) {
        names.push_back(NamePart(path));
        // A self-catenating first piece is piece 0 of its set.
        const int earlier = tally.Add(ParsePieceName(names.back().data(), names.back().size()).number,
                                      static_cast<int>(names.size()) - 1);
        if (earlier >= 0) {
            told::PieceNumberTwice twice;
            twice.name = names[earlier];
            twice.otherName = names.back();
            return twice;
        }
    }
    const int missing = tally.NextMissing();
    if (missing >= 0) {
        return told::PieceMissing{PieceName(missing)};
    }
    return std::nullopt;
}

std::optional<bool> MayTakeName(const std::string& outputPath, Messenger& messenger) {
    const EntryStatus entry = GetEntryStatus(outputPath);
    if (!entry.exists)
        return false;
    if (entry.isFolder) {
        messenger.Tell(told::OutputIsFolder{outputPath});
        return std::nullopt;
    }
    if (entry.targetMissing) {
        messenger.Tell(told::OutputIsDanglingLink{outputPath});
        return std::nullopt;
    }
    if (entry.isSpecial) {
        messenger.Tell(told::OutputIsSpecial{outputPath});
        return std::nullopt;
    }
    if (messenger.Ask(told::ReplaceOutput{outputPath}) != Answer::Yes)
        return std::nullopt;
    return true;
}

bool CommitsWithoutReplacing(const std::string& bareName, Messenger& messenger) {
    const std::string probe = OutputPathFor(SuffixedName(bareName, kPartialSuffix));
    const std::string target = OutputPathFor(bareName);
    try {
        File(probe, File::Mode::CreateNew).Close();
    } catch (const FileException&) {
        return true; // the output itself is created there next, and tells why it cannot be
    }
    try {
        RenameFile(probe, target, false);
    } catch (const FileException& error) {
        DeleteFileAt(probe);
        if (error.Cause() == FileCause::AlreadyExists)
            return true; // appeared meanwhile: the commit refuses to replace it and says so
        if (error.Cause() == FileCause::BadPath) {
            messenger.Tell(told::OutputNameTooLong{target});
            return false;
        }
        told::CannotCommitUnreplacing cannot;
        cannot.path = target;
        cannot.reason = error.Description();
        messenger.Tell(cannot);
        return false;
    }
    DeleteFileAt(target);
    return true;
}

bool AllRegularFiles(const std::vector<std::string>& paths, Messenger& messenger) {
    for (const std::string& path : paths) {
        if (GetEntryStatus(path).isSpecial) {
            messenger.Tell(told::PieceNotRegular{path});
            return false;
        }
    }
    return true;
}

Outcome OverwritesInput(const std::string& outputPath, const std::string& inputPath) {
    told::OutputIsAnInput overwrites;
    overwrites.outputPath = outputPath;
    overwrites.inputPath = inputPath;
    return overwrites;
}
