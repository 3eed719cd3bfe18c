// Writes Windows metafiles record by record for the tests.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "platform/wmf/WmfPicture.h"

namespace wmftest {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, int v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
inline void PutU32(Bytes& b, std::uint32_t v) {
    PutU16(b, static_cast<int>(v & 0xFFFF));
    PutU16(b, static_cast<int>(v >> 16));
}

// COLORREF 0x00BBGGRR as the two words a record stores.
inline int ColorLow(QColor c) {
    return c.red() | (c.green() << 8);
}
inline int ColorHigh(QColor c) {
    return c.blue();
}

class MetafileBuilder {
  public:
    // A record from its parameter words and optional raw bytes (padded to a word).
    MetafileBuilder& Rec(std::uint16_t function, std::initializer_list<int> words = {},
                         const Bytes& raw = {}) {
        Bytes params;
        for (const int w : words) PutU16(params, w);
        params.insert(params.end(), raw.begin(), raw.end());
        if (params.size() % 2) params.push_back(0);
        PutU32(body_, static_cast<std::uint32_t>(3 + params.size() / 2));
        PutU16(body_, function);
        body_.insert(body_.end(), params.begin(), params.end());
        return *this;
    }
    MetafileBuilder& Window(int x, int y, int w, int h) { return Rec(0x020B, {y, x}).Rec(0x020C, {h, w}); }
    MetafileBuilder& Pen(int style, int width, QColor c) {
        return Rec(0x02FA, {style, width, 0, ColorLow(c), ColorHigh(c)});
    }
    MetafileBuilder& Brush(int style, QColor c, int hatch = 0) {
        return Rec(0x02FC, {style, ColorLow(c), ColorHigh(c), hatch});
    }
    MetafileBuilder& Font(int height, const std::string& face, int weight = 400, int escapement = 0) {
        Bytes raw(8, 0);
        raw.insert(raw.end(), face.begin(), face.end());
        raw.resize(8 + 32, 0);
        return Rec(0x02FB, {height, 0, escapement, 0, weight}, raw);
    }
    MetafileBuilder& Select(int index) { return Rec(0x012D, {index}); }
    MetafileBuilder& Delete(int index) { return Rec(0x01F0, {index}); }
    // Shapes take GDI's argument order (left, top, right, bottom); the
    // record stores them reversed.
    MetafileBuilder& Rectangle(int l, int t, int r, int b) { return Rec(0x041B, {b, r, t, l}); }
    MetafileBuilder& Ellipse(int l, int t, int r, int b) { return Rec(0x0418, {b, r, t, l}); }
    MetafileBuilder& Points(std::uint16_t function, std::initializer_list<int> xy) {
        std::vector<int> words{static_cast<int>(xy.size() / 2)};
        words.insert(words.end(), xy.begin(), xy.end());
        Bytes raw;
        for (const int w : words) PutU16(raw, w);
        return Rec(function, {}, raw);
    }
    MetafileBuilder& SetBkColor(QColor c) { return Rec(0x0201, {ColorLow(c), ColorHigh(c)}); }
    MetafileBuilder& SetTextColor(QColor c) { return Rec(0x0209, {ColorLow(c), ColorHigh(c)}); }
    MetafileBuilder& Raw(const Bytes& bytes) {
        body_.insert(body_.end(), bytes.begin(), bytes.end());
        return *this;
    }

    void SetObjects(int count) { objects_ = count; }
    void SetPlaceable(int l, int t, int r, int b, int unitsPerInch) {
        placeable_ = true;
        box_[0] = l, box_[1] = t, box_[2] = r, box_[3] = b, box_[4] = unitsPerInch;
    }

    // The whole file: placeable header (when set), metafile header, records,
    // end record.
    Bytes Build(bool withEnd = true) const {
        Bytes body = body_;
        if (withEnd) PutU32(body, 3), PutU16(body, 0);
        Bytes out;
        if (placeable_) {
            PutU32(out, 0x9AC6CDD7u);
            PutU16(out, 0);
            for (int i = 0; i < 5; ++i) PutU16(out, box_[i]);
            PutU32(out, 0);
            PutU16(out, 0);  // checksum, not checked by readers
        }
        PutU16(out, 1);
        PutU16(out, 9);
        PutU16(out, 0x0300);
        PutU32(out, static_cast<std::uint32_t>((18 + body.size()) / 2));
        PutU16(out, objects_);
        PutU32(out, 64);
        PutU16(out, 0);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

  private:
    Bytes body_;
    int objects_ = 16;
    bool placeable_ = false;
    int box_[5] = {};
};

// A packed DIB with a BITMAPINFOHEADER: rows as given (bottom-up when
// height > 0), each padded to 4 bytes by the caller.
inline Bytes Dib(int width, int height, int bits, const Bytes& rows, const std::vector<QColor>& palette = {},
                 std::uint32_t compression = 0) {
    Bytes b;
    PutU32(b, 40);
    PutU32(b, static_cast<std::uint32_t>(width));
    PutU32(b, static_cast<std::uint32_t>(height));
    PutU16(b, 1);
    PutU16(b, bits);
    PutU32(b, compression);
    PutU32(b, static_cast<std::uint32_t>(rows.size()));
    PutU32(b, 0);
    PutU32(b, 0);
    PutU32(b, static_cast<std::uint32_t>(palette.size()));
    PutU32(b, 0);
    for (const QColor& c : palette) {
        b.push_back(static_cast<std::uint8_t>(c.blue()));
        b.push_back(static_cast<std::uint8_t>(c.green()));
        b.push_back(static_cast<std::uint8_t>(c.red()));
        b.push_back(0);
    }
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

inline std::span<const std::uint8_t> View(const Bytes& b) {
    return {b.data(), b.size()};
}

inline QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// The null pen's object slot in the tests' metafiles.
constexpr int kNullPen = 5;

// A w x h picture whose logical units are pixels.
inline MetafileBuilder Canvas(int w = 100, int h = 100) {
    MetafileBuilder b;
    b.SetPlaceable(0, 0, w, h, 96);
    b.Window(0, 0, w, h);
    return b;
}

// The metafile played into a picture, which must not be empty.
inline QImage Render(const MetafileBuilder& b) {
    QImage image = LoadWindowsMetafile(View(b.Build()));
    EXPECT_FALSE(image.isNull());
    return image;
}

}  // namespace wmftest
