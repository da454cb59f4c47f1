// Fuzzes the link library's decoding of what the electronics send: read replies and stream records.
//
// Input: a first byte that chooses what the bytes after the second one are and a second byte that gives
// the record size.
//  - first byte even: a run of read replies, each the answer to a request for n = 1 + second % 10 data
//    bytes; every reply is what one read of n + 6 bytes got (the last one may be short).
//  - first byte odd: a stream of records of n = 1 + second % 72 words; each record is looked for the way
//    readStreamRecord does (the FF FF hunt, then 2n bytes), one hunt after another until the bytes run out.
// Every decoded reply and record is checked against the bytes it came from; the buffers handed to the
// decoders are exactly as long as the bytes received, so a read beyond them is reported.
#include "Frame.h"
#include "Transaction.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace senslink;

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void fuzzReplies(const uint8_t *bytes, size_t size, int n) {
    size_t at = 0;
    while (at < size) {
        const size_t want = static_cast<size_t>(n + 6);
        const size_t got = size - at < want ? size - at : want;
        // The read's bytes in a buffer of their own length.
        std::vector<uint8_t> reply(bytes + at, bytes + at + got);
        std::vector<uint8_t> data(static_cast<size_t>(n), 0xA5);
        const int rc = decodeReadReply(reply.data(), static_cast<int>(got), n, data.data());
        require(rc == kOk || rc == kBadReply);
        if (rc == kOk) {
            require(got == want);
            require(reply[0] == kAckByte);
            const uint16_t sum = frameChecksum(reply.data(), static_cast<size_t>(n + 4));
            require(reply[static_cast<size_t>(n + 4)] == (sum & 0xFF) && reply[static_cast<size_t>(n + 5)] == (sum >> 8));
            require(std::memcmp(data.data(), reply.data() + 4, static_cast<size_t>(n)) == 0);
            // The value the exports return: little-endian, at most four bytes, two when n is 2.
            const uint32_t value = assembleValue(data.data(), n);
            uint32_t expected = 0;
            const int used = n == 2 ? 2 : (n < 4 ? n : 4);
            for (int i = used - 1; i >= 0; --i)
                expected = (expected << 8) | data[static_cast<size_t>(i)];
            require(value == expected);
        } else {
            for (uint8_t b : data)
                require(b == 0xA5); // a rejected reply leaves the data untouched
        }
        at += got;
    }
}

// Position just after the first FF FF at or after `from`; 0 when there is none.
size_t markerEnd(const uint8_t *bytes, size_t size, size_t from) {
    for (size_t i = from + 1; i < size; ++i)
        if (bytes[i - 1] == 0xFF && bytes[i] == 0xFF) return i + 1;
    return 0;
}

void fuzzStream(const uint8_t *bytes, size_t size, int n) {
    constexpr size_t limit = MarkerHunt::kMaxHuntBytes;
    size_t at = 0;
    while (at < size) {
        const size_t start = at;
        // The hunt finds the first marker, provided at most `limit` bytes go by before it.
        const size_t marker = markerEnd(bytes, size, start);
        MarkerHunt hunt;
        MarkerHunt::Step step = MarkerHunt::Step::More;
        while (at < size && step == MarkerHunt::Step::More)
            step = hunt.feed(bytes[at++]);
        if (step == MarkerHunt::Step::More) { // the bytes ran out during the hunt: a time-out
            require(marker == 0 && size - start <= limit + 2);
            return;
        }
        if (step == MarkerHunt::Step::GiveUp) {
            require(marker == 0 || marker - 2 - start > limit);
            require(at - start == limit + 1 || at - start == limit + 2);
            require(marker == 0 || marker > at);
            continue; // the next read starts a new hunt
        }
        require(at == marker && marker - 2 - start <= limit);
        const size_t recordBytes = static_cast<size_t>(2 * n);
        if (size - at < recordBytes) return; // a short record
        std::vector<uint8_t> record(bytes + at, bytes + at + recordBytes);
        auto words = std::make_unique<int16_t[]>(static_cast<size_t>(n));
        decodeStreamWords(record.data(), n, words.get());
        for (int i = 0; i < n; ++i) {
            const auto w = static_cast<uint16_t>(words[static_cast<size_t>(i)]);
            require((w & 0xFF) == record[static_cast<size_t>(2 * i)] &&
                    (w >> 8) == record[static_cast<size_t>(2 * i + 1)]);
        }
        at += recordBytes;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    if ((data[0] & 1) == 0)
        fuzzReplies(data + 2, size - 2, 1 + data[1] % kMaxReplyLength);
    else
        fuzzStream(data + 2, size - 2, 1 + data[1] % kMaxStreamRegisters);
    return 0;
}
