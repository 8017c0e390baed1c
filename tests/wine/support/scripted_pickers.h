// Pickers that answer from a script and note how they were asked, for the
// tests that drive the real main dialog in process.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/pickers.h"

class ScriptedPickers : public Pickers {
public:
    std::string PickFile(const std::string& initialFolder, const std::string& title,
                         const std::string& filter) override {
        asked.push_back(initialFolder + "|" + title + "|" + filter);
        return fileAnswer;
    }
    bool PickFilesInOrder(const std::string& initialFolder, const std::string& title, const std::string& filter,
                          std::vector<std::string>& list) override {
        asked.push_back(initialFolder + "|" + title + "|" + filter);
        if (!confirmSelection)
            return false;
        list = selection;
        return true;
    }
    bool PickFolder(std::string& folder, const std::string& title) override {
        folderTitles.push_back(title);
        folder = folderAnswer.value_or(std::string());
        return folderAnswer.has_value();
    }

    std::string fileAnswer;                  // the file picker's answer; empty: cancelled
    bool confirmSelection = true;            // false: the ordered picker is cancelled
    std::vector<std::string> selection;      // the files the ordered picker picks, in click order
    std::optional<std::string> folderAnswer; // empty: the folder picker is cancelled
    std::vector<std::string> asked;          // "initial folder|title|filter" of each file picker shown
    std::vector<std::string> folderTitles;
};
