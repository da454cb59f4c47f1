#include "kpdctl/CtlOutput.h"

#include <QJsonDocument>

#include <cerrno>
#include <unistd.h>

namespace kpdctl {

CtlOutput::CtlOutput(bool json, std::FILE *out, std::FILE *err)
    : json_(json), out_(out), err_(err), progressEnabled_(!json && ::isatty(::fileno(err)) == 1) {}

std::string CtlOutput::JsonLine(const QJsonObject &object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void CtlOutput::Write(std::FILE *to, const std::string &line) {
    ClearProgress();
    if (std::fputs(line.c_str(), to) < 0 || std::fputc('\n', to) == EOF || std::fflush(to) != 0) {
        if (to == out_) {
            outputFailed_ = true;
            outputClosed_ = outputClosed_ || errno == EPIPE;
        }
    }
}

void CtlOutput::Emit(const QJsonObject &object, const std::string &text) {
    Write(out_, json_ ? JsonLine(object) : text);
}

void CtlOutput::Note(const std::string &text) {
    if (!json_) Write(out_, text);
}

void CtlOutput::Error(const std::string &message, int exitCode) {
    if (json_) {
        QJsonObject o;
        o["type"] = "error";
        o["message"] = QString::fromStdString(message);
        o["exit"] = exitCode;
        Write(err_, JsonLine(o));
    } else {
        Write(err_, "kpdctl: " + message);
    }
}

void CtlOutput::Progress(const std::string &text) {
    if (!progressEnabled_) return;
    // Carriage return, the text, and the rest of the line erased.
    std::fprintf(err_, "\r%s\x1b[K", text.c_str());
    std::fflush(err_);
    progressVisible_ = true;
}

void CtlOutput::ClearProgress() {
    if (!progressVisible_) return;
    std::fputs("\r\x1b[K", err_);
    std::fflush(err_);
    progressVisible_ = false;
}

} // namespace kpdctl
