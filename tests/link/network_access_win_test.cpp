// Whether this logon already had a connection to the remote computer, through a fake of the
// platform's connection listing (Wine has no network): each form Windows lists it in, names
// that only look alike, listings in several batches, and listings that cannot be read.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "link/network_access_win.h"

namespace {

// What the fake listing returns: batches of remote names (null: a resource without one), then
// ERROR_NO_MORE_ITEMS, or `failure` in place of the batch at `failAt`.
struct Listing {
    std::vector<std::vector<const wchar_t*>> batches;
    DWORD openResult = NO_ERROR;
    size_t failAt = static_cast<size_t>(-1);
    DWORD failure = ERROR_NO_NETWORK;
    size_t next = 0;
    int opened = 0;
    int closed = 0;
    DWORD scope = 0;
};
Listing gListing;

DWORD APIENTRY FakeOpen(DWORD scope, DWORD, DWORD, LPNETRESOURCEW, LPHANDLE handle) {
    gListing.scope = scope;
    if (gListing.openResult != NO_ERROR) return gListing.openResult;
    ++gListing.opened;
    *handle = reinterpret_cast<HANDLE>(&gListing);
    return NO_ERROR;
}

// Packs one batch as the platform does: the resources first, their strings after them.
DWORD APIENTRY FakeNext(HANDLE, LPDWORD count, LPVOID buffer, LPDWORD size) {
    if (gListing.next == gListing.failAt) return gListing.failure;
    if (gListing.next >= gListing.batches.size()) return ERROR_NO_MORE_ITEMS;
    const std::vector<const wchar_t*>& batch = gListing.batches[gListing.next++];
    auto* items = static_cast<NETRESOURCEW*>(buffer);
    auto* strings = reinterpret_cast<wchar_t*>(items + batch.size());
    for (size_t i = 0; i < batch.size(); ++i) {
        items[i] = NETRESOURCEW{};
        items[i].dwScope = RESOURCE_CONNECTED;
        if (!batch[i]) continue;
        lstrcpyW(strings, batch[i]);
        items[i].lpRemoteName = strings;
        strings += lstrlenW(batch[i]) + 1;
    }
    if (reinterpret_cast<char*>(strings) > static_cast<char*>(buffer) + *size) return ERROR_MORE_DATA;
    *count = static_cast<DWORD>(batch.size());
    return NO_ERROR;
}

DWORD APIENTRY FakeClose(HANDLE) {
    ++gListing.closed;
    return NO_ERROR;
}

constexpr network_access::ConnectionList kFakeList = {&FakeOpen, &FakeNext, &FakeClose};

TEST(NetworkAccessWin, ConnectionExistsInEitherListedForm) {
    const struct {
        const char* label;
        std::vector<std::vector<const wchar_t*>> batches;
        bool exists;
    } cases[] = {
        {"nothing listed", {}, false},
        {"the computer itself", {{L"\\\\PLANT"}}, true},
        {"the computer without a share, as Windows lists it", {{L"\\\\PLANT\\IPC$"}}, true},
        {"either form in other letters' case", {{L"\\\\plant\\ipc$"}}, true},
        {"the computer in lower case", {{L"\\\\Plant"}}, true},
        {"in a later batch, after a resource without a name", {{L"\\\\OTHER\\IPC$", nullptr}, {L"\\\\PLANT\\IPC$"}}, true},
        {"a share of the computer", {{L"\\\\PLANT\\data"}}, false},
        {"a share whose name begins like IPC$", {{L"\\\\PLANT\\IPC$X"}}, false},
        {"a longer computer name", {{L"\\\\PLANTX", L"\\\\PLANTX\\IPC$"}}, false},
        {"a shorter computer name", {{L"\\\\PLAN", L"\\\\PLAN\\IPC$"}}, false},
        {"the computer's name with a dot added", {{L"\\\\PLANT.", L"\\\\PLANT.\\IPC$"}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        gListing = {};
        gListing.batches = c.batches;
        EXPECT_EQ(network_access::ConnectionExists("\\\\PLANT", kFakeList), c.exists);
        EXPECT_EQ(gListing.scope, static_cast<DWORD>(RESOURCE_CONNECTED));
        EXPECT_EQ(gListing.closed, gListing.opened);
    }
}

// A listing that cannot be read to its end may hold the connection: it is taken as there, so
// that the link never cancels a connection it did not make.
TEST(NetworkAccessWin, UnreadableListingCountsAsExisting) {
    const struct {
        const char* label;
        DWORD openResult;
        size_t failAt;
        network_access::ConnectionList list;
    } cases[] = {
        {"listing refused", ERROR_NO_NETWORK, static_cast<size_t>(-1), kFakeList},
        {"batch fails after a first one", NO_ERROR, 1, kFakeList},
        {"no listing call", NO_ERROR, static_cast<size_t>(-1), {nullptr, &FakeNext, &FakeClose}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        gListing = {};
        gListing.batches = {{L"\\\\OTHER"}, {L"\\\\THIRD"}};
        gListing.openResult = c.openResult;
        gListing.failAt = c.failAt;
        EXPECT_TRUE(network_access::ConnectionExists("\\\\PLANT", c.list));
        EXPECT_EQ(gListing.closed, gListing.opened);
    }
}

}  // namespace
