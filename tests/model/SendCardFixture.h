#pragma once
// A play list and a card session on a virtual card at port 1 (the session
// reading into the list's records, as the main window's do), a recording
// progress host, and helpers to read back what the card received.

#include "common/RecordingHost.h"
#include "link/PortNaming.h"
#include "model/PictureItem.h"
#include "common/OutcomePrinting.h"
#include "model/CardSession.h"
#include "model/PlayList.h"
#include "model/TextItem.h"
#include "sim/VirtualCard.h"

#include <gtest/gtest.h>

class SendCardFixture : public ::testing::Test {
protected:
    // One packet of the upload as the card saw it.
    struct UploadPacket {
        int command = 0;
        int pageNumber = 0;
        int offset = 0; // 0x02 only
        int dataLength = 0;
        bool operator==(const UploadPacket &) const = default;
    };

    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
        session.shareRecordsWith(list);
        session.setPort(1);
    }
    void TearDown() override
    {
        PortNaming::setExplicitDevices({});
        card.stop();
    }

    // What the card is and how its screen is set up.
    void useCard(int model, int series, int major, int minor, int build, int widthCode,
                 int heightCode, int colourType, int reverseData = 0)
    {
        card.setIdentity({model, series, major, minor, build});
        ScreenParams params;
        params.bytes[ScreenParams::WidthCode] = uint8_t(widthCode);
        params.bytes[ScreenParams::HeightCode] = uint8_t(heightCode);
        params.bytes[ScreenParams::ColourType] = uint8_t(colourType);
        params.bytes[ScreenParams::ReverseData] = uint8_t(reverseData);
        card.setScreenParams(params);
    }

    // The identification the send command runs first.
    void identifyCard() { ASSERT_EQ(session.checkBeforeSend(), kOk); }

    TextItem *addText(const QString &content, int action = 1, int delay = 0)
    {
        auto item = std::make_unique<TextItem>(&list);
        item->setContent(content);
        item->setAction(action);
        item->setDelay(delay);
        TextItem *raw = item.get();
        list.appendItem(std::move(item));
        return raw;
    }

    PictureItem *addPicture(const QString &path)
    {
        auto item = std::make_unique<PictureItem>(&list);
        item->setContent(path);
        item->setMode(1);
        PictureItem *raw = item.get();
        list.appendItem(std::move(item));
        return raw;
    }

    // Every request with this command code, in order.
    std::vector<QByteArray> requestsOf(int command) const
    {
        std::vector<QByteArray> out;
        for (const VirtualCard::LogEntry &e : card.log())
            if (e.request.size() > 13 && uint8_t(e.request[13]) == command)
                out.push_back(e.request);
        return out;
    }

    std::vector<int> commandSequence() const
    {
        std::vector<int> out;
        for (const VirtualCard::LogEntry &e : card.log())
            if (e.request.size() > 13)
                out.push_back(uint8_t(e.request[13]));
        return out;
    }

    std::vector<UploadPacket> uploadPackets() const
    {
        std::vector<UploadPacket> out;
        for (const VirtualCard::LogEntry &e : card.log()) {
            const QByteArray &r = e.request;
            if (r.size() < 53)
                continue;
            const int command = uint8_t(r[13]);
            if (command != 0x02 && command != 0x03)
                continue;
            UploadPacket p;
            p.command = command;
            p.pageNumber = uint8_t(r[16]) | (uint8_t(r[17]) << 8);
            p.offset = command == 0x02 ? (uint8_t(r[18]) | (uint8_t(r[19]) << 8)) : 0;
            p.dataLength = int(r.size()) - 53;
            out.push_back(p);
        }
        return out;
    }

    // The LED colour a page pixel shows on a card with this many planes.
    static uint32_t ledColour(uint32_t bgr, int planes)
    {
        const int r = int(bgr & 0xFF), g = int((bgr >> 8) & 0xFF), b = int((bgr >> 16) & 0xFF);
        if (planes == 1)
            return b + 2 * r > 50 ? LedColor::Red : LedColor::Black;
        return (r >= 50 ? LedColor::Red : 0) | (g >= 50 ? LedColor::Green : 0);
    }

    // The card's stored page decodes back to exactly `page`.
    void expectCardShows(int pageNumber, const PageBitmap &page, int planes) const
    {
        const QImage shown = card.pageImage(pageNumber);
        ASSERT_EQ(shown.width(), page.width()) << "page " << pageNumber;
        ASSERT_EQ(shown.height(), page.height()) << "page " << pageNumber;
        int wrong = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                wrong +=
                    PageBitmap::toBgr(shown.pixel(x, y)) != ledColour(page.pixel(x, y), planes);
        EXPECT_EQ(wrong, 0) << "page " << pageNumber;
    }

    VirtualCard card;
    PlayList list;
    CardSession session;
    RecordingHost host;
};
