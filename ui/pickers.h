// What the main dialog asks of the file and folder pickers. The program's
// pickers show the common dialogs; tests answer in their place.
#pragma once

#include <string>
#include <vector>

class Messenger;
class Dialog;

class Pickers {
public:
    virtual ~Pickers() = default;
    // A full path, or empty when cancelled. filter: pairs of zero-terminated
    // texts, description and pattern; empty for "All (*.*)".
    virtual std::string PickFile(const std::string& initialFolder, const std::string& title,
                                 const std::string& filter) = 0;
    // Several files of one folder in the order the user clicked them. True when
    // confirmed (list emptied and refilled); false leaves list untouched.
    virtual bool PickFilesInOrder(const std::string& initialFolder, const std::string& title, const std::string& filter,
                                  std::vector<std::string>& list) = 0;
    // A destination folder, browsing from the desktop. False (and folder empty) when cancelled.
    virtual bool PickFolder(std::string& folder, const std::string& title) = 0;
};

// The common dialogs, one CFilePicker per call.
class FilePickers : public Pickers {
public:
    explicit FilePickers(Messenger& messenger) : messenger_(messenger) {}
    // The dialog that owns every picker once it exists, so that it cannot be used
    // (a second picker, a split) while a picker's own message loop runs.
    void SetOwner(const Dialog* owner) { owner_ = owner; }
    std::string PickFile(const std::string& initialFolder, const std::string& title,
                         const std::string& filter) override;
    bool PickFilesInOrder(const std::string& initialFolder, const std::string& title, const std::string& filter,
                          std::vector<std::string>& list) override;
    bool PickFolder(std::string& folder, const std::string& title) override;

private:
    void* OwnerWindow() const;

    Messenger& messenger_;
    const Dialog* owner_ = nullptr;
};
