#include "session/AlarmHistoryLog.h"

#include "session/StatusController.h"
#include "workers/AlarmHistory.h"

namespace kpd {

AlarmHistoryLog::AlarmHistoryLog(StatusController &status) : status_(status) {}

void AlarmHistoryLog::Refresh() {
    lines_ = status_.Evaluation().History().Snapshot();
}

void AlarmHistoryLog::ClearHistory() {
    lines_.clear();
    status_.Evaluation().ClearHistory(status_.MutableView());
    status_.ApplyView();
}

platform::FileDialogOptions AlarmHistoryLog::SaveDialogOptions() {
    platform::FileDialogOptions o;
    o.defaultExt = "alm";
    o.filter = "Alarm History (*.alm)|*.alm|All Files (*.*)|*.*";
    o.overwritePrompt = true;
    return o;
}

AlarmHistoryLog::SaveResult AlarmHistoryLog::Save() {
    const std::optional<std::string> file = platform::Dialogs::Instance().SaveFile(SaveDialogOptions());
    if (!file) return SaveResult::Cancelled;
    return SaveTo(std::filesystem::path(*file)) ? SaveResult::Saved : SaveResult::Failed;
}

bool AlarmHistoryLog::SaveTo(const std::filesystem::path &file) {
    std::string reason;
    if (SaveAlarmFile(lines_, file, &reason)) return true;
    platform::ShowMessage(platform::MessageKind::Error, kSaveFailedText, platform::MessageButtons::Ok);
    return false;
}

} // namespace kpd
