#pragma once

// Resources for control tests: every bitmap and PNG is one solid colour of
// its id, so a pixel tells which picture was drawn.

#include "platform/res/Resources.h"
#include "platform/sys/Color.h"

#include <QBuffer>

#include <map>

class TestResources final : public platform::res::ResourceProvider {
public:
    struct Picture {
        int width;
        int height;
        COLORREF color;
        int alpha = 255;
    };

    TestResources() { m_previous = platform::res::InstallProvider(this); }
    ~TestResources() override { platform::res::InstallProvider(m_previous); }

    void AddBitmap(UINT id, int w, int h, COLORREF c) { m_bitmaps[id] = {w, h, c}; }
    void AddPng(UINT id, int w, int h, COLORREF c, int alpha = 255) { m_pngs[id] = {w, h, c, alpha}; }
    void AddDialog(UINT id, const CString& source) { m_dialogs[id] = source; }

    std::optional<QImage> Bitmap(UINT id) override {
        auto it = m_bitmaps.find(id);
        if (it == m_bitmaps.end())
            return std::nullopt;
        return Image(it->second, QImage::Format_RGB32);
    }
    std::optional<QByteArray> Data(UINT id, const CString& type) override {
        auto it = m_pngs.find(id);
        if (type != "PNG" || it == m_pngs.end())
            return std::nullopt;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        Image(it->second, QImage::Format_ARGB32).save(&buffer, "PNG");
        return bytes;
    }
    std::optional<platform::res::CursorImage> Cursor(UINT id) override {
        if (id != 213)
            return std::nullopt;
        return platform::res::CursorImage{Image({16, 16, RGB(255, 255, 255)}, QImage::Format_ARGB32), {5, 0}};
    }
    std::optional<CString> String(UINT) override { return std::nullopt; }
    std::optional<CString> Source(UINT id, const CString& kind) override {
        auto it = m_dialogs.find(id);
        if (kind != "DIALOG" || it == m_dialogs.end())
            return std::nullopt;
        return it->second;
    }

private:
    static QImage Image(const Picture& p, QImage::Format format) {
        QImage image(p.width, p.height, format);
        image.fill(QColor(GetRValue(p.color), GetGValue(p.color), GetBValue(p.color), p.alpha));
        return image;
    }

    std::map<UINT, Picture> m_bitmaps;
    std::map<UINT, Picture> m_pngs;
    std::map<UINT, CString> m_dialogs;
    platform::res::ResourceProvider* m_previous = nullptr;
};
