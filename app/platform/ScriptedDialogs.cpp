#include "platform/ScriptedDialogs.h"

#include <filesystem>

namespace platform {
namespace {

std::string Quote(std::string_view text) {
    std::string out = "\"";
    out += text.substr(0, 80);
    if (text.size() > 80) out += "...";
    out += '"';
    return out;
}

} // namespace

ScriptedDialogs &ScriptedDialogs::Answer(MessageResult result) {
    answers_.emplace_back(result);
    return *this;
}

ScriptedDialogs &ScriptedDialogs::AnswerFile(std::optional<std::string> path) {
    answers_.emplace_back(FileAnswer(std::move(path)));
    return *this;
}

MessageResult ScriptedDialogs::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                       std::string_view caption) {
    Question q;
    q.type = QuestionType::Message;
    q.kind = kind;
    q.buttons = buttons;
    q.caption = caption.empty() ? DefaultCaption(kind) : std::string(caption);
    q.text = std::string(text);
    questions_.push_back(q);

    const MessageResult fallback = CancelLikeButton(buttons);
    if (answers_.empty()) {
        errors_.push_back("message box asked with an empty script: " + ToString(kind) + " " +
                          ToString(buttons) + " " + Quote(text));
        return fallback;
    }
    const AnswerValue answer = answers_.front();
    answers_.pop_front();
    const auto *result = std::get_if<MessageResult>(&answer);
    if (!result) {
        errors_.push_back("message box answered with a file answer: " + Quote(text));
        return fallback;
    }
    if (*result != MessageResult::Closed && !IsButtonOf(*result, buttons)) {
        errors_.push_back("answer " + ToString(*result) + " is not a button of " + ToString(buttons) + ": " +
                          Quote(text));
        return fallback;
    }
    return *result;
}

std::optional<std::string> ScriptedDialogs::AskFile(QuestionType type, const FileDialogOptions &options) {
    Question q;
    q.type = type;
    q.caption = options.title;
    q.text = options.filter;
    q.file = options;
    questions_.push_back(q);

    const char *what = type == QuestionType::OpenFile ? "open" : "save";
    if (answers_.empty()) {
        errors_.push_back(std::string(what) + " dialog asked with an empty script: " + Quote(options.title));
        return std::nullopt;
    }
    const AnswerValue answer = answers_.front();
    answers_.pop_front();
    const auto *path = std::get_if<FileAnswer>(&answer);
    if (!path) {
        errors_.push_back(std::string(what) +
                          " dialog answered with a message result: " + Quote(options.title));
        return std::nullopt;
    }
    return *path;
}

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogOptions &options) {
    return AskFile(QuestionType::OpenFile, options);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogOptions &options) {
    for (;;) {
        auto path = AskFile(QuestionType::SaveFile, options);
        if (!path) return std::nullopt;
        std::string chosen = ApplyDefaultExtension(*path, options.defaultExt);
        std::error_code ec;
        if (!options.overwritePrompt || !std::filesystem::exists(chosen, ec)) return chosen;
        const auto answer =
            Message(MessageKind::Warning, chosen + " already exists.\nDo you want to replace it?",
                    MessageButtons::YesNo, options.title);
        if (answer == MessageResult::Yes) return chosen;
        // No (or closed): the file dialog is shown again.
    }
}

std::vector<ScriptedDialogs::Question> ScriptedDialogs::Messages() const {
    std::vector<Question> out;
    for (const auto &q : questions_)
        if (q.type == QuestionType::Message) out.push_back(q);
    return out;
}

void ScriptedDialogs::Reset() {
    answers_.clear();
    questions_.clear();
    errors_.clear();
}

} // namespace platform
