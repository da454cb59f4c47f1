// SoakDialogs: the dialog seam's answerer of the fault soak. It never blocks: after a short random reading
// time, spent in the box's own event loop as a real modal box spends it (ModalWait), it gives a valid
// answer, chosen at random: a message box gets one of its own buttons (the link-failure question Yes, No
// or All; "Cannot Detect Electronics" Retry or Ignore; "Close Program?" No until the soak ends), a save
// dialog a new or an existing file in the soak's folder (or a cancel), an open dialog one of the files
// saved so far, a spoiled copy of one, or a cancel.
//
// It checks the files on the way: a save is followed by loading the file through the program's loader into
// separate data sets and comparing it with what the data set held when it was saved; a load the program
// reports as successful must have filled the data set with the file's records; a spoiled file must be
// refused and leave every data set as it was. A difference is reported through the failure handler.
#pragma once

#include "DataFileCheck.h"
#include "SoakFigures.h"

#include "platform/Dialogs.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

class TMainForm;

namespace soak {

class SoakDialogs : public platform::Dialogs {
public:
    SoakDialogs(std::mt19937_64 &rng, std::filesystem::path folder, SoakFigures &figures,
                std::function<void(const std::string &)> fail);
    ~SoakDialogs() override;

    void SetForm(TMainForm *form) { form_ = form; }
    // From now on "Close Program?" is answered Yes.
    void SetEnding(bool ending) { ending_ = ending; }
    // Called on each link-failure question.
    std::function<void()> onLinkFailureAsked;
    // Called with the answer chosen for the link-failure question.
    std::function<void(platform::MessageResult)> onLinkFailureAnswered;

    platform::MessageResult Message(platform::MessageKind kind, std::string_view text,
                                    platform::MessageButtons buttons, std::string_view caption = {}) override;
    std::optional<std::string> OpenFile(const platform::FileDialogOptions &options) override;
    std::optional<std::string> SaveFile(const platform::FileDialogOptions &options) override;

    std::size_t SavedFiles() const { return saved_.size(); }

private:
    struct PendingLoad {
        std::filesystem::path file;
        bool valid = false;      // a file saved by the program, unchanged
        uint64_t digestBefore = 0;
    };
    // The time taken to read the box, in its own event loop (ModalWait).
    void Read();
    void CheckSaved(const std::filesystem::path &file, const FileRecords &snapshot);
    void CheckLoaded(int kind);
    void CheckRefused();
    std::filesystem::path Spoil(const std::filesystem::path &source);
    platform::MessageResult Count(const std::string &question, platform::MessageResult answer);
    bool Chance(double p);
    template <typename T> const T &Pick(const std::vector<T> &v);

    std::mt19937_64 &rng_;
    std::filesystem::path folder_;
    SoakFigures &figures_;
    std::function<void(const std::string &)> fail_;
    TMainForm *form_ = nullptr;
    bool ending_ = false;
    int fileNumber_ = 0;
    std::map<std::filesystem::path, FileRecords> saved_; // what each saved file holds
    std::optional<PendingLoad> pendingLoad_;
    std::unique_ptr<DataSets> scratch_; // the files are loaded back into these
};

} // namespace soak
