// CtlOutput: what kpdctl prints. Results go to standard output, one line each: text, or with --json one
// JSON object per line. Errors go to standard error (as JSON objects with "type":"error" under --json).
// A progress line is shown only when standard error is a terminal (and not under --json); it is rewritten
// in place and cleared before the next result or error.
#pragma once

#include <QJsonObject>

#include <cstdio>
#include <string>

namespace kpdctl {

class CtlOutput {
public:
    CtlOutput(bool json, std::FILE *out = stdout, std::FILE *err = stderr);

    bool Json() const { return json_; }
    // A result: `text` in text mode, `object` in JSON mode.
    void Emit(const QJsonObject &object, const std::string &text);
    // A text line in text mode only (headings, prompts).
    void Note(const std::string &text);
    // An error with the exit code it leads to.
    void Error(const std::string &message, int exitCode);
    // A progress line (terminal only).
    void Progress(const std::string &text);
    void ClearProgress();
    bool ProgressShown() const { return progressEnabled_; }
    // True once a write to standard output failed (a closed pipe, say).
    bool OutputFailed() const { return outputFailed_; }
    // True when the failed write found standard output closed by its reader (a pipe into `head`, say).
    bool OutputClosed() const { return outputClosed_; }

    static std::string JsonLine(const QJsonObject &object);

private:
    void Write(std::FILE *to, const std::string &line);

    bool json_;
    std::FILE *out_;
    std::FILE *err_;
    bool progressEnabled_;
    bool progressVisible_ = false;
    bool outputFailed_ = false;
    bool outputClosed_ = false;
};

} // namespace kpdctl
