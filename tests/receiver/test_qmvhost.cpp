#include "receiver/qmvhost.h"
#include "receiver/qmvmodule.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

std::uint32_t get32(const std::uint8_t *p) {
    return qFromLittleEndian<quint32>(p);
}
std::uint32_t low32(const void *p) {
    return std::uint32_t(reinterpret_cast<std::uintptr_t>(p));
}

struct Notification {
    std::intptr_t window;
    std::int32_t message;
    std::intptr_t v1, v2, v3;
    bool operator==(const Notification &) const = default;
};
std::vector<Notification> notifications;

// A module linked into the test: only its notify entry is watched.
std::int32_t fakeInit(std::int32_t, const char *) {
    return 1;
}
std::intptr_t fakeStart(std::intptr_t, void *, QmvHostCallback, std::int32_t *) {
    return 0;
}
void fakeNotify(std::intptr_t w, std::int32_t m, std::intptr_t a, std::intptr_t b,
                std::intptr_t c) {
    notifications.push_back({w, m, a, b, c});
}

constexpr std::intptr_t HostWindow = 0x1234;
constexpr std::intptr_t ModuleWindow = 0x5678;

struct Client : TQmvHostClient {
    std::intptr_t HostWindowHandle() const override { return HostWindow; }
    std::int32_t CurrentMode() const override { return mode; }
    void SetCurrentMode(std::int32_t m, bool rebuild) override {
        mode = m;
        modeChanges.push_back({m, rebuild});
    }
    void SetPassbandWidth(std::int32_t w) override { widths.push_back(w); }
    void SetPassbandOffset(std::int32_t o) override { offsets.push_back(o); }
    void DeliverSpectrum(std::uint32_t span, std::uint32_t count, const void *data) override {
        spectra.push_back({span, count, data});
    }

    std::int32_t mode = 1;
    std::vector<std::pair<std::int32_t, bool>> modeChanges;
    std::vector<std::int32_t> widths, offsets;
    struct Spectrum {
        std::uint32_t span, count;
        const void *data;
    };
    std::vector<Spectrum> spectra;
};

class HostDispatch : public ::testing::Test {
protected:
    HostDispatch() {
        notifications.clear();
        module.BindEntryPoints({fakeInit, fakeStart, fakeNotify, nullptr});
        host.SetModuleWindow(ModuleWindow);
    }
    std::intptr_t send(std::int32_t message, std::intptr_t v1 = 0, std::intptr_t v2 = 0,
                       std::intptr_t v3 = 0) {
        return TQmvHost::Callback(ModuleWindow, message, v1, v2, v3);
    }

    TQmvModule module;
    Client client;
    TQmvHost host{module, client};
};

TEST_F(HostDispatch, TheCallbackReachesTheCurrentHostOnlyWhileItExists) {
    EXPECT_EQ(send(QMV_HOST_CAPABILITIES), std::intptr_t(0x80000000u));
    {
        Client other;
        TQmvHost second(module, other);
        second.SetModuleWindow(ModuleWindow);
        send(QMV_HOST_WIDTH, 500);
        EXPECT_EQ(other.widths, std::vector<std::int32_t>{500});
        EXPECT_TRUE(client.widths.empty());
    }
    // The main window is gone: every call is answered 0 and does nothing.
    EXPECT_EQ(send(QMV_HOST_CAPABILITIES), 0);
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_HOST_PRESENT), 0);
}

TEST_F(HostDispatch, AnotherWindowOrAnUnboundNotifyIsAnswered0) {
    EXPECT_EQ(TQmvHost::Callback(ModuleWindow + 1, QMV_HOST_QUERY, QMV_QUERY_HOST_PRESENT, 0, 0),
              0);
    EXPECT_EQ(TQmvHost::Callback(0, QMV_HOST_MODE, 4, 0, 0), 0);
    EXPECT_TRUE(client.modeChanges.empty());

    // While the module starts, the program holds window 0.
    host.SetModuleWindow(0);
    EXPECT_EQ(TQmvHost::Callback(0, QMV_HOST_QUERY, QMV_QUERY_HOST_PRESENT, 0, 0), 1);

    module.Unload();
    EXPECT_EQ(TQmvHost::Callback(0, QMV_HOST_QUERY, QMV_QUERY_HOST_PRESENT, 0, 0), 0);
    EXPECT_TRUE(notifications.empty());
}

TEST_F(HostDispatch, AModeReportChangesTheModeAndIsEchoedOnlyWhenNew) {
    EXPECT_EQ(send(QMV_HOST_MODE, 1), 0);
    EXPECT_TRUE(client.modeChanges.empty());
    EXPECT_TRUE(notifications.empty());

    send(QMV_HOST_MODE, 4);
    send(QMV_HOST_MODE, 3);
    send(QMV_HOST_MODE, 3);
    send(QMV_HOST_MODE, 0);
    const std::vector<std::pair<std::int32_t, bool>> changes = {{4, false}, {3, true}, {0, true}};
    EXPECT_EQ(client.modeChanges, changes);
    const std::vector<Notification> echoes = {{HostWindow, QMV_NOTIFY_MODE, 4, 0, 0},
                                              {HostWindow, QMV_NOTIFY_MODE, 3, 0, 0},
                                              {HostWindow, QMV_NOTIFY_MODE, 0, 0, 0}};
    EXPECT_EQ(notifications, echoes);
}

TEST_F(HostDispatch, WidthAndOffsetAreTakenAndEchoed) {
    EXPECT_EQ(send(QMV_HOST_WIDTH, 2400), 0);
    EXPECT_EQ(send(QMV_HOST_OFFSET, -150), 0);
    EXPECT_EQ(client.widths, std::vector<std::int32_t>{2400});
    EXPECT_EQ(client.offsets, std::vector<std::int32_t>{-150});
    const std::vector<Notification> echoes = {{HostWindow, QMV_NOTIFY_WIDTH, 2400, 0, 0},
                                              {HostWindow, QMV_NOTIFY_OFFSET, -150, 0, 0}};
    EXPECT_EQ(notifications, echoes);
}

TEST_F(HostDispatch, SpectraAreHandedOnButNeverWithoutData) {
    const float bins[4] = {1e-9f, 2e-9f, 3e-9f, 4e-9f};
    EXPECT_EQ(send(QMV_HOST_SPECTRUM, 12000, 16, reinterpret_cast<std::intptr_t>(bins)), 0);
    send(QMV_HOST_SPECTRUM, 12000, 16, 0);
    send(QMV_HOST_SPECTRUM, 12000, -4, reinterpret_cast<std::intptr_t>(bins));
    ASSERT_EQ(client.spectra.size(), 1u);
    EXPECT_EQ(client.spectra[0].span, 12000u);
    EXPECT_EQ(client.spectra[0].count, 16u);
    EXPECT_EQ(client.spectra[0].data, bins);
    EXPECT_TRUE(notifications.empty());
}

TEST_F(HostDispatch, QueriesAndOtherMessages) {
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_HOST_PRESENT), 1);
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_RECORDING), 0);
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_RECORD), 0); // no record yet
    EXPECT_EQ(send(QMV_HOST_QUERY, 0x4004), 0);
    std::array<std::uint8_t, TRadioRecord::kDescriptionSize> info{};
    host.SetRecord(TRadioRecord::Build(info.data()));
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_RECORD),
              reinterpret_cast<std::intptr_t>(host.Record()->Data()));
    EXPECT_EQ(send(QMV_HOST_CAPABILITIES), std::intptr_t(0x80000000u));
    EXPECT_EQ(send(0x1234, 1, 2, 3), 0);
    host.FreeRecord();
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_RECORD), 0);
    EXPECT_TRUE(notifications.empty());
}

TEST_F(HostDispatch, ANewRecordIsCopiedRebasedAndAcknowledged) {
    std::array<std::uint8_t, TRadioRecord::kDescriptionSize> info{};
    host.SetRecord(TRadioRecord::Build(info.data()));

    std::vector<std::uint8_t> sent(720, 0);
    qToLittleEndian<quint32>(720, sent.data());
    const auto address = [&](std::size_t offset) {
        return std::uint32_t(reinterpret_cast<std::uintptr_t>(sent.data() + offset));
    };
    qToLittleEndian<quint32>(address(400), sent.data() + 224);
    qToLittleEndian<quint32>(address(412), sent.data() + 236);
    std::memcpy(sent.data() + 76, "NEW", 3);
    const auto sentAddress = reinterpret_cast<std::intptr_t>(sent.data());

    EXPECT_EQ(send(QMV_HOST_NEW_RECORD, 0, 720, sentAddress), 0);
    TRadioRecord *copy = host.Record();
    ASSERT_TRUE(copy);
    EXPECT_NE(static_cast<void *>(copy->Data()), static_cast<void *>(sent.data()));
    EXPECT_EQ(copy->Size(), 720u);
    EXPECT_EQ(std::memcmp(copy->Data() + 76, "NEW", 4), 0);
    EXPECT_EQ(get32(copy->Data() + 224), low32(copy->Data() + 400));
    EXPECT_EQ(get32(copy->Data() + 236), low32(copy->Data() + 412));
    EXPECT_EQ(get32(copy->Data() + 172), 0u);
    const std::vector<Notification> acknowledged = {
        {HostWindow, QMV_NOTIFY_RECORD_COPIED, 0, 720, sentAddress}};
    EXPECT_EQ(notifications, acknowledged);
    EXPECT_EQ(send(QMV_HOST_QUERY, QMV_QUERY_RECORD),
              reinterpret_cast<std::intptr_t>(copy->Data()));
}

TEST_F(HostDispatch, AShortNewRecordNeverWritesPastTheCopy) {
    // Ends inside field 236: 224 is rebased, 236 is not there to touch.
    std::vector<std::uint8_t> sent(230, 0xAB);
    EXPECT_EQ(send(QMV_HOST_NEW_RECORD, 0, 230, reinterpret_cast<std::intptr_t>(sent.data())), 0);
    TRadioRecord *copy = host.Record();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Size(), 230u);
    const std::uint32_t delta =
        low32(copy->Data() + 0) - std::uint32_t(reinterpret_cast<std::uintptr_t>(sent.data()));
    EXPECT_EQ(get32(copy->Data() + 224), 0xABABABABu + delta);
    EXPECT_EQ(copy->Data()[228], 0xAB);
    EXPECT_EQ(copy->Data()[229], 0xAB);
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0].v2, 230);
}

TEST_F(HostDispatch, ANewRecordWithoutBytesKeepsTheOldOne) {
    std::array<std::uint8_t, TRadioRecord::kDescriptionSize> info{};
    host.SetRecord(TRadioRecord::Build(info.data()));
    TRadioRecord *old = host.Record();
    std::uint8_t byte = 0;
    EXPECT_EQ(send(QMV_HOST_NEW_RECORD, 0, 0, reinterpret_cast<std::intptr_t>(&byte)), 0);
    EXPECT_EQ(send(QMV_HOST_NEW_RECORD, 0, -720, reinterpret_cast<std::intptr_t>(&byte)), 0);
    EXPECT_EQ(send(QMV_HOST_NEW_RECORD, 0, 720, 0), 0);
    EXPECT_EQ(host.Record(), old);
    EXPECT_TRUE(notifications.empty());
}

} // namespace
