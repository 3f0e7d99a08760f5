#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sending/PrintContext.h"
#include "support/Fakes.h"
#include "support/PrintRig.h"
#include "support/RecordedDatabase.h"
#include "support/TestDatabase.h"
#include "tickets/KitchenTicketComposer.h"
#include "tickets/PrintQueueDispatcher.h"

namespace kps::test {

// Remembers, for every ticket handed to it, the device, the ticket lines and
// the collected items, then empties the item lists as sending does.
class RecordingSender final : public TicketSender {
  public:
    RecordingSender(TicketBuffers& ticket, const PrintContext& ctx) : ticket_(ticket), ctx_(ctx) {}
    void SendTicket() override;

    struct Sent {
        std::string device;
        std::string printingType;
        std::vector<std::string> list3;
        std::vector<std::string> ids;      // List1
        std::vector<std::string> billIds;  // List2
        std::chrono::steady_clock::time_point found;
    };
    std::vector<Sent> sent;

  private:
    TicketBuffers& ticket_;
    const PrintContext& ctx_;
};

// A real order database with composition and dispatch wired to fakes.
class KitchenTicketFixture : public ::testing::Test,
                             protected RecordedDatabase,
                             protected PrintRig {
  protected:
    explicit KitchenTicketFixture(Backend backend = Backend::Sqlite);

    // Writes a layout file into the database's folder and returns its path.
    std::string WriteLayout(const std::string& name, const std::string& text) const;

    // A device row (Null columns stay Null) and the window's list reloaded.
    void AddDevice(int code, const std::string& name, const std::string& type,
                   const std::string& layoutFile = "");
    // An item of a printer group; the group is created with its flags.
    void AddGroup(const std::string& group, const std::string& flags);
    void AddItem(const std::string& itemCode, const std::string& group);
    // A waiting row with its bill line; `columns` add to or replace the
    // defaults (values as SQL literals: "'text'", "NULL", "2").
    void AddWaiting(long id, const std::string& table, const std::string& itemCode,
                    const std::map<std::string, std::string>& columns = {});

    long PrintStatus(long id);

    // Composes with the codes of `type` loaded, as the dispatch would.
    void Compose(const std::string& type, const std::string& layoutFile,
                 const std::string& table = "T5", const std::string& group = "G1",
                 const std::string& device = "KITCHEN1");

    RecordingSender sender{ticket, ctx};
    KitchenTicketComposer composer{ctx, sender};
    PrintQueueDispatcher dispatcher{ctx, composer};
};

}  // namespace kps::test
