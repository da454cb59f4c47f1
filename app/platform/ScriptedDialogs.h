#pragma once
// Scripted answerer for the dialog seam: tests (and the program's self-test) queue the answers, in
// order, and read back every question asked. It never blocks: a question asked with an empty script, or
// with an answer of the wrong type (a file answer for a message box, a result that is not a button of
// the box) records an error and returns the box's cancel-like button (Cancel, No, Ignore, OK; never
// Closed, so re-asking callers terminate) or "no file".
//
// The save dialog's overwrite prompt is asked through Message() as a Warning with Yes/No and the text
// "<file> already exists.\nDo you want to replace it?"; answering No asks for the file again.

#include "platform/Dialogs.h"

#include <deque>
#include <variant>
#include <vector>

namespace platform {

class ScriptedDialogs : public Dialogs {
public:
    enum class QuestionType { Message, OpenFile, SaveFile };

    struct Question {
        QuestionType type = QuestionType::Message;
        MessageKind kind = MessageKind::Information; // messages only
        MessageButtons buttons = MessageButtons::Ok; // messages only
        std::string caption;                         // caption or dialog title
        std::string text;                            // message text; for files the filter
        FileDialogOptions file;                      // file dialogs only
    };

    // Queues the answer to the next message box.
    ScriptedDialogs &Answer(MessageResult result);
    // Queues the answer to the next file dialog: a path, or std::nullopt for "cancelled".
    ScriptedDialogs &AnswerFile(std::optional<std::string> path);

    MessageResult Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                          std::string_view caption = {}) override;
    std::optional<std::string> OpenFile(const FileDialogOptions &options) override;
    std::optional<std::string> SaveFile(const FileDialogOptions &options) override;

    const std::vector<Question> &Questions() const { return questions_; }
    // Messages only, in order.
    std::vector<Question> Messages() const;
    // Script violations, in order (empty when every question was answered as scripted).
    const std::vector<std::string> &Errors() const { return errors_; }
    std::size_t PendingAnswers() const { return answers_.size(); }
    // True when every answer was used and nothing went wrong.
    bool Done() const { return answers_.empty() && errors_.empty(); }

    // Forgets questions, errors and pending answers.
    void Reset();

private:
    using FileAnswer = std::optional<std::string>;
    using AnswerValue = std::variant<MessageResult, FileAnswer>;

    std::optional<std::string> AskFile(QuestionType type, const FileDialogOptions &options);

    std::deque<AnswerValue> answers_;
    std::vector<Question> questions_;
    std::vector<std::string> errors_;
};

} // namespace platform
