#pragma once
// A virtual card on a pseudo-terminal named as port 1, and a link
// configured on it, for the link tests.

#include "link/ControllerLink.h"
#include "link/PortNaming.h"
#include "sim/VirtualCard.h"

#include <gtest/gtest.h>

class CardLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(card.start()) << card.errorString().toStdString();
        PortNaming::setExplicitDevices({card.devicePath()});
    }
    void TearDown() override
    {
        link.close();
        card.stop();
        PortNaming::setExplicitDevices({});
    }
    // The program's settings, with a shorter time-out where a test waits
    // for one.
    bool configure(int timeoutMs = 900, bool keepOpen = true)
    {
        link.setKeepOpen(true);
        const bool ok = link.configure(1, timeoutMs, 57600, 512);
        link.setKeepOpen(keepOpen);
        return ok;
    }

    VirtualCard card;
    ControllerLink link;
};
