// The figures of a fault soak: what was done, injected, asked and checked, counted by kind and printed at
// the end (and on a failure, so that a failed run shows how far it came).
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

namespace soak {

struct SoakFigures {
    double seconds = 0;
    std::map<std::string, uint64_t> actions; // performed, by kind
    std::map<std::string, uint64_t> skipped; // chosen while its control was not available
    std::map<std::string, uint64_t> faults;  // injected, by kind
    std::map<std::string, uint64_t> answers; // dialog answers, by question and answer
    uint64_t linkFailuresAsked = 0;   // link-failure questions
    uint64_t linkFailureEpisodes = 0; // failures (a question asked again counts once)
    uint64_t linkFailuresRecovered = 0;
    uint64_t searches = 0; // searches asked for by the soak (to leave demo mode)
    uint64_t filesSaved = 0;
    uint64_t filesReloaded = 0; // saved files loaded back and found equal
    uint64_t filesLoaded = 0;   // loads through the program, found equal to the file
    uint64_t badFilesRejected = 0;
    uint64_t recordsChecked = 0;  // records of live recordings found among those sent
    uint64_t recordsExcused = 0;  // records found nowhere, but next to records the line damaged
    uint64_t recordsUnchecked = 0; // replaced by a load before they could be checked
    uint64_t recordChecks = 0;
    uint64_t recordsSent = 0;
    uint64_t statusSamples = 0;
    uint64_t streamRecords = 0;
    uint64_t modalDialogs = 0;

    static void PrintMap(std::FILE *f, const char *title, const std::map<std::string, uint64_t> &m) {
        uint64_t total = 0;
        for (const auto &[k, v] : m)
            total += v;
        std::fprintf(f, "%s: %llu\n", title, static_cast<unsigned long long>(total));
        for (const auto &[k, v] : m)
            std::fprintf(f, "  %-34s %llu\n", k.c_str(), static_cast<unsigned long long>(v));
    }

    void Print(std::FILE *f) const {
        const auto u = [](uint64_t v) { return static_cast<unsigned long long>(v); };
        std::fprintf(f, "---- fault soak figures ----\n");
        std::fprintf(f, "seconds run: %.1f\n", seconds);
        PrintMap(f, "actions", actions);
        PrintMap(f, "actions skipped (control not available)", skipped);
        PrintMap(f, "faults injected", faults);
        PrintMap(f, "dialog answers", answers);
        std::fprintf(f, "modal dialogs answered: %llu\n", u(modalDialogs));
        std::fprintf(f, "link failures: %llu asked, %llu failures, %llu recovered\n", u(linkFailuresAsked),
                     u(linkFailureEpisodes), u(linkFailuresRecovered));
        std::fprintf(f, "searches asked for: %llu\n", u(searches));
        std::fprintf(f, "files: %llu saved, %llu reloaded equal, %llu loaded by the program equal, "
                        "%llu bad files rejected\n",
                     u(filesSaved), u(filesReloaded), u(filesLoaded), u(badFilesRejected));
        std::fprintf(f, "records: %llu checked in %llu checks, %llu excused (line damage), %llu unchecked "
                        "(replaced by a load); %llu sent by the electronics\n",
                     u(recordsChecked), u(recordChecks), u(recordsExcused), u(recordsUnchecked),
                     u(recordsSent));
        std::fprintf(f, "tool: %llu status samples, %llu stream records stored\n", u(statusSamples),
                     u(streamRecords));
        std::fflush(f);
    }
};

} // namespace soak
