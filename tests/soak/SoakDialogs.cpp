#include "SoakDialogs.h"

#include "DataFingerprint.h"
#include "ModalWait.h"

#include "session/PlotOptions.h"
#include "session/Session.h"
#include "windows/MainForm.h"

#include <QTimer>

#include <fstream>
#include <sstream>
#include <vector>

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace soak {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<MessageResult> ButtonsOf(MessageButtons b) {
    switch (b) {
    case MessageButtons::Ok:
        return {MessageResult::Ok};
    case MessageButtons::OkCancel:
        return {MessageResult::Ok, MessageResult::Cancel};
    case MessageButtons::YesNo:
        return {MessageResult::Yes, MessageResult::No};
    case MessageButtons::RetryIgnore:
        return {MessageResult::Retry, MessageResult::Ignore};
    case MessageButtons::YesNoAll:
        return {MessageResult::Yes, MessageResult::No, MessageResult::All};
    }
    return {platform::CancelLikeButton(b)};
}

const char *const kLoadedTexts[4] = {
    "Setup and Status Data successfully loaded", "Encoder Signal Data successfully loaded",
    "Signal Strength Data successfully loaded", "Position and Velocity Data successfully loaded"};

} // namespace

SoakDialogs::SoakDialogs(std::mt19937_64 &rng, std::filesystem::path folder, SoakFigures &figures,
                         std::function<void(const std::string &)> fail)
    : rng_(rng), folder_(std::move(folder)), figures_(figures), fail_(std::move(fail)),
      scratch_(std::make_unique<DataSets>()) {}

SoakDialogs::~SoakDialogs() = default;

bool SoakDialogs::Chance(double p) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

template <typename T> const T &SoakDialogs::Pick(const std::vector<T> &v) {
    return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng_)];
}

MessageResult SoakDialogs::Count(const std::string &question, MessageResult answer) {
    ++figures_.answers[question + ": " + platform::ToString(answer)];
    return answer;
}

void SoakDialogs::Read() {
    ModalWait::Spend(std::uniform_int_distribution<int>(0, 300)(rng_));
}

MessageResult SoakDialogs::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                   std::string_view) {
    Read();
    if (StartsWith(text, "Error communicating with Electronics")) {
        ++figures_.linkFailuresAsked;
        if (onLinkFailureAsked) onLinkFailureAsked();
        // Mostly Yes (reconnect on the same port); All (search again) and No (demo mode) now and then.
        const double p = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
        const MessageResult a = p < 0.6 ? MessageResult::Yes : p < 0.8 ? MessageResult::All : MessageResult::No;
        if (onLinkFailureAnswered) onLinkFailureAnswered(a);
        return Count("link failure", a);
    }
    if (StartsWith(text, "Cannot Detect Electronics"))
        return Count("cannot detect electronics", Chance(0.75) ? MessageResult::Retry : MessageResult::Ignore);
    if (text == "Close Program?") return Count("close program", ending_ ? MessageResult::Yes : MessageResult::No);
    for (int k = 0; k < 4; ++k) {
        if (text == kLoadedTexts[k]) {
            CheckLoaded(k);
            return Count("data loaded", MessageResult::Ok);
        }
    }
    if (text == "Invalid Software File Type") {
        CheckRefused();
        return Count("invalid file", MessageResult::Ok);
    }
    if (StartsWith(text, "Cannot Save to File")) {
        fail_("a save into the soak's own folder failed: \"" + std::string(text) + "\"");
        return Count("cannot save", MessageResult::Ok);
    }
    if (text == kpd::InvalidPlotOptionsText) return Count("invalid plot options", MessageResult::Ok);
    if (StartsWith(text, "Invalid Address entered")) return Count("invalid engineering entry", MessageResult::Ok);
    // Any other box: one of its buttons at random.
    const MessageResult a = Pick(ButtonsOf(buttons));
    std::string what = platform::ToString(kind) + " \"" + std::string(text.substr(0, 40)) + "\"";
    if (kind == MessageKind::Error) {
        // An error box that is none of the above comes from an exception that left an event handler.
        std::fprintf(stderr, "soak: error box: %.*s\n", static_cast<int>(text.size()), text.data());
        what = "error box";
    }
    return Count(what, a);
}

std::optional<std::string> SoakDialogs::SaveFile(const platform::FileDialogOptions &options) {
    Read();
    const int kind = KindOfExtension(options.defaultExt);
    if (kind < 0 || !form_) {
        fail_("a save dialog for an unknown kind of file: \"" + options.title + "\"");
        return std::nullopt;
    }
    if (Chance(0.08)) {
        ++figures_.answers["save dialog: cancelled"];
        return std::nullopt;
    }
    std::filesystem::path file;
    std::vector<std::filesystem::path> sameKind;
    for (const auto &[path, records] : saved_)
        if (path.extension() == std::string(".") + options.defaultExt) sameKind.push_back(path);
    if (!sameKind.empty() && Chance(0.25)) {
        file = Pick(sameKind); // replaces an earlier file
        ++figures_.answers["save dialog: existing file"];
    } else {
        file = folder_ / ("saved-" + std::to_string(++fileNumber_) + "." + options.defaultExt);
        ++figures_.answers["save dialog: new file"];
    }
    // The data set does not change between this answer and the save: no worker runs during the command.
    kpd::Session &s = form_->session();
    const DataFileHeader header{s.Config().units, s.Config().resolutionMultiplier,
                                s.Config().interpolationMultiplier};
    FileRecords snapshot = SavedView(form_->session().Data(), kind, header);
    // Checked once the command has written the file.
    QTimer::singleShot(0, form_, [this, file, snapshot = std::move(snapshot)] { CheckSaved(file, snapshot); });
    return file.string();
}

void SoakDialogs::CheckSaved(const std::filesystem::path &file, const FileRecords &snapshot) {
    ++figures_.filesSaved;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        fail_("the program reported no error, but the saved file " + file.string() + " is not there");
        return;
    }
    const DataFileLoadResult r = scratch_->LoadDataFile(file);
    if (!r.ok) {
        fail_("the saved file " + file.string() + " does not load back: " + r.reason);
        return;
    }
    const std::string diff = Compare(snapshot, LoadedView(*scratch_, r.kind, r));
    if (!diff.empty()) {
        fail_("the saved file " + file.string() + " loads back different from what was saved: " + diff);
        return;
    }
    ++figures_.filesReloaded;
    saved_[file] = snapshot;
}

std::optional<std::string> SoakDialogs::OpenFile(const platform::FileDialogOptions &) {
    Read();
    if (!form_) return std::nullopt;
    const double p = std::uniform_real_distribution<double>(0.0, 1.0)(rng_);
    if (saved_.empty() || p < 0.06) {
        ++figures_.answers["open dialog: cancelled"];
        return std::nullopt;
    }
    std::vector<std::filesystem::path> files;
    for (const auto &[path, records] : saved_)
        files.push_back(path);
    PendingLoad load;
    load.digestBefore = Fingerprint(form_->session().Data());
    if (p < 0.2) {
        load.file = Spoil(Pick(files));
        load.valid = false;
        ++figures_.answers["open dialog: spoiled file"];
    } else {
        load.file = Pick(files);
        load.valid = true;
        ++figures_.answers["open dialog: saved file"];
    }
    pendingLoad_ = load;
    return load.file.string();
}

std::filesystem::path SoakDialogs::Spoil(const std::filesystem::path &source) {
    // A copy whose header or one of whose values is no longer a number: the loader must refuse it.
    std::ifstream in(source, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::vector<std::size_t> lineStarts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i == 0 || text[i - 1] == '\n') lineStarts.push_back(i);
    const int kind = KindOfExtension(source.extension().string().substr(1));
    const std::size_t headerLines = kind == 1 ? 2 : 5;
    if (lineStarts.size() > headerLines + 1 && Chance(0.7)) {
        // A value of a record (not the last one, which may be left out when cut short) gets a letter.
        const std::size_t line =
            std::uniform_int_distribution<std::size_t>(headerLines, lineStarts.size() - 2)(rng_);
        text.insert(lineStarts[line], "x");
    } else {
        text.insert(0, "?"); // the first line names no data set
    }
    const std::filesystem::path file = folder_ / ("spoiled-" + std::to_string(++fileNumber_) + ".dat");
    std::ofstream out(file, std::ios::binary);
    out << text;
    return file;
}

void SoakDialogs::CheckLoaded(int kind) {
    if (!pendingLoad_) {
        fail_("the program reported a load that was not asked for");
        return;
    }
    const PendingLoad load = *pendingLoad_;
    pendingLoad_.reset();
    if (!load.valid) {
        fail_("the program loaded the spoiled file " + load.file.string());
        return;
    }
    const DataFileLoadResult r = scratch_->LoadDataFile(load.file);
    if (!r.ok || r.kind != kind) {
        fail_("the program loaded " + load.file.string() + " as data set " + std::to_string(kind) +
              ", its own loader finds otherwise");
        return;
    }
    const FileRecords file = LoadedView(*scratch_, kind, r);
    const FileRecords shown = LoadedView(form_->session().Data(), kind, r);
    std::string diff = Compare(file, shown);
    if (diff.empty()) diff = Compare(saved_.at(load.file), file);
    const DataSetControl &c = form_->session().Data().Control(kind);
    if (diff.empty() && (c.wrapped.load() || !c.resetOnNextLiveStart.load()))
        diff = "the loaded data set is wrapped or not marked for a reset at the next live start";
    if (!diff.empty()) {
        fail_("after loading " + load.file.string() + " the data set differs from the file: " + diff);
        return;
    }
    ++figures_.filesLoaded;
}

void SoakDialogs::CheckRefused() {
    if (!pendingLoad_) {
        fail_("the program refused a load that was not asked for");
        return;
    }
    const PendingLoad load = *pendingLoad_;
    pendingLoad_.reset();
    if (load.valid) {
        fail_("the program refused the file it saved: " + load.file.string());
        return;
    }
    if (Fingerprint(form_->session().Data()) != load.digestBefore) {
        fail_("refusing the spoiled file " + load.file.string() + " changed a data set");
        return;
    }
    ++figures_.badFilesRejected;
}

} // namespace soak
