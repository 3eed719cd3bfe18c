// Grey progressive JPEG files put together scan by scan, for the picture
// loader's tests and the hostile-file benchmark: every block of the picture
// is flat, so a scan's data can cover any number of blocks in a few bytes, or
// break off after a few.
//
// The file holds one quantisation table of ones, a DC table whose one code
// (a 0 bit) means "no change", and an AC table with two codes: 0 ends one
// block (EOB), 10 ends a run of 16384 to 32767 blocks (EOB14, 14 more bits).
#pragma once

#include <QByteArray>
#include <algorithm>
#include <vector>

namespace test_support {

struct HandMadeScan {
    int ss = 0, se = 0;  // spectral selection: coefficients ss..se
    int ah = 0, al = 0;  // successive approximation: bit positions
    QByteArray data;     // the entropy-coded data
};

namespace hand_made_jpeg {

inline void Marker(QByteArray& file, int marker, const QByteArray& body) {
    const int length = static_cast<int>(body.size()) + 2;
    file += static_cast<char>(0xFF);
    file += static_cast<char>(marker);
    file += static_cast<char>(length >> 8);
    file += static_cast<char>(length & 0xFF);
    file += body;
}

// Bits written most significant first; a 0xFF byte gets its stuffed zero,
// the last byte is padded with ones.
class Bits {
  public:
    void Put(unsigned value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = (byte_ << 1) | ((value >> i) & 1u);
            if (++filled_ == 8) Flush();
        }
    }
    QByteArray Finish() {
        if (filled_ > 0) Put((1u << (8 - filled_)) - 1u, 8 - filled_);
        return bytes_;
    }

  private:
    void Flush() {
        bytes_ += static_cast<char>(byte_);
        if (byte_ == 0xFF) bytes_ += '\0';
        byte_ = 0;
        filled_ = 0;
    }
    QByteArray bytes_;
    unsigned byte_ = 0;
    int filled_ = 0;
};

}  // namespace hand_made_jpeg

// Data of a scan that covers `blocks` flat blocks completely: one 0 bit per
// block for a DC scan (first or refining), end-of-band runs for an AC scan.
inline QByteArray FlatScanData(long blocks, bool ac) {
    hand_made_jpeg::Bits bits;
    while (ac && blocks >= 16384) {
        const long run = std::min(blocks, 32767L);
        bits.Put(0b10, 2);
        bits.Put(static_cast<unsigned>(run - 16384), 14);
        blocks -= run;
    }
    for (long i = 0; i < blocks; ++i) bits.Put(0, 1);
    return bits.Finish();
}

// The file: SOI, tables, SOF2 for width x height with one component, the
// scans (one component each), EOI.
inline QByteArray HandMadeProgressiveJpeg(int width, int height, const std::vector<HandMadeScan>& scans) {
    using hand_made_jpeg::Marker;
    QByteArray file("\xFF\xD8", 2);
    Marker(file, 0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'));
    QByteArray frame;
    frame += static_cast<char>(8);
    frame += static_cast<char>(height >> 8);
    frame += static_cast<char>(height & 0xFF);
    frame += static_cast<char>(width >> 8);
    frame += static_cast<char>(width & 0xFF);
    frame += QByteArray("\x01\x01\x11\x00", 4);  // one component: id 1, 1x1, table 0
    Marker(file, 0xC2, frame);
    QByteArray tables;
    QByteArray dcCounts(16, '\0');
    dcCounts[0] = 1;  // one code of length 1
    tables += '\0' + dcCounts + '\0';
    QByteArray acCounts(16, '\0');
    acCounts[0] = 1;  // 0: EOB
    acCounts[1] = 1;  // 10: EOB14
    tables += '\x10' + acCounts + QByteArray("\x00\xE0", 2);
    Marker(file, 0xC4, tables);
    for (const HandMadeScan& scan : scans) {
        QByteArray header("\x01\x01\x00", 3);  // component 1, tables 0 and 0
        header += static_cast<char>(scan.ss);
        header += static_cast<char>(scan.se);
        header += static_cast<char>((scan.ah << 4) | scan.al);
        Marker(file, 0xDA, header);
        file += scan.data;
    }
    return file + QByteArray("\xFF\xD9", 2);
}

}  // namespace test_support
