#include "status/StatusRouter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "output/PosPrinterRegistry.h"
#include "status/StatusFixture.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace kps::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using StatusPageTest = StatusFixture;

TEST_F(StatusPageTest, NamesEveryPrinterWithItsStateInWordsAndTheServersLine) {
    const StatusResponse page = Get("/");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
    EXPECT_THAT(page.body, HasSubstr("<p id=\"server\" class=\"server\">Printing for this outlet "
                                     "\u00B7 last polling cycle 2026-12-07 22:05:09 \u00B7 Last "
                                     "Printed on 07/12/2026 22:05:08</p>"));
    EXPECT_THAT(page.body,
                HasSubstr("<tr><td>BAR1<small>network printer</small></td><td class=\"state "
                          "not_printing\">not printing: cover open</td><td>2026-12-07 "
                          "22:01:00</td><td>1</td><td>1</td><td><form "));
    EXPECT_THAT(page.body, HasSubstr("<td class=\"state suspended\">suspended, answers again: "
                                     "Resume?</td><td>never</td>"));
}

TEST_F(StatusPageTest, ShowsTheWaitingItemsAsTheWindowsGridAndCountsThoseLeftOut) {
    EXPECT_THAT(Get("/").body,
                HasSubstr("<th>Table</th><th>Service</th><th>Check#</th><th>Item Description</th>"
                          "<th>Quantity</th><th>Printer</th></tr></thead>\n<tbody id=\"waiting\">\n"
                          "<tr><td>T5</td><td>D</td><td>B100</td><td>Fried rice</td><td>2</td>"
                          "<td>KIT</td></tr>\n<tr><td>-</td><td>T</td>"));
    EXPECT_THAT(Get("/").body, HasSubstr("<p id=\"more\" hidden>"));
    snapshot.server.waitingItems = 1002;
    EXPECT_THAT(Get("/").body, HasSubstr("<span id=\"waiting-count\">1002</span>"));
    EXPECT_THAT(Get("/").body, HasSubstr("<p id=\"more\">and 1000 more</p>"));
}

TEST_F(StatusPageTest, LinksTheLastTicketsOfEveryDevice) {
    const std::string body = Get("/").body;
    EXPECT_THAT(body, HasSubstr("<summary>BAR1 (2)</summary><ol>\n<li><a href=\"/tickets/BAR1/1\">"
                                "2026-12-07 22:04:00 \u00B7 T5 \u00B7 2 items</a> <form "));
    EXPECT_THAT(body, HasSubstr("<a href=\"/tickets/OLD%201/1\">2026-12-07 21:00:00 \u00B7 T6 "
                                "\u00B7 1 item</a>"));
}

TEST_F(StatusPageTest, RefreshesFromTheApiWithAScriptOfItsOwnAndLoadsNothingElse) {
    const StatusResponse page = Get("/");
    EXPECT_THAT(page.body, HasSubstr("name=\"viewport\" content=\"width=device-width"));
    EXPECT_THAT(page.body, HasSubstr("fetch('/api/v1/status'"));
    EXPECT_THAT(page.body, HasSubstr("setInterval(refresh, 2000)"));
    EXPECT_THAT(page.body, Not(HasSubstr("src=")));
    EXPECT_THAT(page.body, Not(HasSubstr("http")));
    EXPECT_THAT(page.headers, testing::Contains(testing::Pair("Content-Security-Policy",
                                                              HasSubstr("default-src 'none'"))));
}

TEST_F(StatusPageTest, TicketPageDrawsThePaperWithSizesCentringAndRed) {
    const StatusResponse page = Get("/tickets/BAR1/1");
    EXPECT_EQ(page.status, 200);
    EXPECT_THAT(page.body, HasSubstr("<h1>BAR1: ticket 1</h1>\n<p>2026-12-07 22:04:00 \u00B7 T5 "
                                     "\u00B7 2 items</p>\n<div class=\"paper\" "
                                     "style=\"width:40ch\">\n"
                                     "<div class=\"ln c\"><span class=\"big\" "
                                     "style=\"width:4ch;height:2.50em\"><span "
                                     "style=\"transform:scale(2,2)\">T5</span></span></div>\n"
                                     "<div class=\"ln\"><span>1 Fried rice</span></div>\n"
                                     "<div class=\"ln\"><span class=\"red\">no nuts</span></div>"));
    EXPECT_THAT(Get("/tickets/OLD 1/1").body, HasSubstr("<span>1 Soup</span>"));
}

TEST_F(StatusPageTest, TicketPageReadsATicketInItsPrintersEncoding) {
    TempFolder folder;
    WriteBytes(folder.File("PosPrinters.ini"),
               "[BAR1]\r\nEncoding=GB18030\r\n[OLD 1]\r\nEncoding=raster\r\n");
    const PosPrinterRegistry printers(folder.File("PosPrinters.ini"), 1252);
    snapshot.registry = &printers;
    const StoredTicket mapo{{"\x1b|1C1 \u9EBB\u5A46\u8C46\u8150\r\n"}, 0, {"1"}, {}, "T5", 40};
    snapshot.tickets =
        std::make_shared<const KeptTickets>(KeptTickets{{"BAR1", {mapo}}, {"OLD 1", {mapo}}});

    EXPECT_THAT(Get("/tickets/BAR1/1").body, HasSubstr("<span>1 \u9EBB\u5A46\u8C46\u8150</span>"));
    const std::string drawn = Get("/tickets/OLD 1/1").body;
    EXPECT_THAT(drawn, HasSubstr("<div class=\"ln\"><svg "));
    EXPECT_THAT(drawn, Not(HasSubstr("\u9EBB")));
    EXPECT_THAT(Get("/api/v1/tickets/OLD 1").body, HasSubstr("\"image\":{\"width\":"));
}

using StatusApiTest = StatusFixture;

TEST_F(StatusApiTest, StatusGivesTheServerThePrintersTheWaitingItemsAndTheTickets) {
    const StatusResponse api = Get("/api/v1/status");
    EXPECT_EQ(api.contentType, "application/json");
    EXPECT_THAT(api.body,
                HasSubstr(R"({"server":{"state":"printing","healthy":true,)"
                          R"("health":"Printing for this outlet","line":"Printing for this )"
                          "outlet \u00B7 last polling cycle 2026-12-07 22:05:09 \u00B7 Last "
                          R"(Printed on 07/12/2026 22:05:08","statusLine":"Last Printed on )"
                          R"(07/12/2026 22:05:08","ticks":42,"lastTick":"2026-12-07 22:05:09",)"
                          R"("secondsSinceLastTick":1.000,"lastTickSeconds":0.012,)"
                          R"("waitingItems":2,"unroutableItems":0},"printers":[)"
                          R"({"device":"BAR1","kind":"network printer","state":"not_printing",)"
                          R"("reason":"cover_open","answersAgain":false,)"
                          R"("words":"not printing: cover open","lastPrinted":"2026-12-07 )"
                          R"(22:01:00","lastPrintedText":"2026-12-07 22:01:00","waitingItems":1,)"
                          R"("ticketsOnTheirWay":1,"ticketsPrinted":12,"failures":2,"actions":[)"));
    EXPECT_THAT(api.body, HasSubstr(R"("lastPrinted":null,"lastPrintedText":"never")"));
    EXPECT_THAT(api.body,
                HasSubstr(R"("waiting":{"columns":["Table","Service","Check#","Item Description",)"
                          R"("Quantity","Printer"],"rows":[["T5","D","B100","Fried rice","2",)"
                          R"("KIT"],["-","T","-","Soup","1","BAR"]],"total":2},)"));
    EXPECT_THAT(api.body, HasSubstr(R"("tickets":[{"device":"BAR1","tickets":[{"n":1,)"
                                    R"("time":"2026-12-07 22:04:00","key":"T5","items":2,)"
                                    R"("title":"2026-12-07 22:04:00 )"
                                    "\u00B7 T5 \u00B7 2 items\"},{\"n\":2,"));
}

TEST_F(StatusApiTest, TicketsGiveEachTicketsPaperLinesTheLastFirst) {
    const StatusResponse api = Get("/api/v1/tickets/BAR1");
    EXPECT_EQ(api.status, 200);
    EXPECT_THAT(api.body, HasSubstr(R"("lines":[{"align":"centre","cut":false,"runs":[)"
                                    R"({"text":"T5","width":2,"height":2,"red":false}]},)"
                                    R"({"align":"left","cut":false,"runs":[{"text":"1 Fried )"
                                    R"(rice","width":1,"height":1,"red":false}]},{"align":"left",)"
                                    R"("cut":false,"runs":[{"text":"no nuts","width":1,)"
                                    R"("height":1,"red":true}]}]},{"n":2,)"));
    // A printer that kept none has an empty list.
    EXPECT_EQ(Get("/api/v1/tickets/PASS").body, "{\"device\":\"PASS\",\"tickets\":[]}\n");
}

TEST_F(StatusApiTest, MetricsAreInThePrometheusTextFormat) {
    const StatusResponse metrics = Get("/metrics");
    EXPECT_EQ(metrics.contentType, "text/plain; version=0.0.4; charset=utf-8");
    for (const char* line :
         {"# TYPE kps_printer_up gauge\n", "kps_printer_up{device=\"BAR1\"} 0\n",
          "kps_printer_state{device=\"BAR1\",state=\"printing\"} 0\n",
          "kps_printer_state{device=\"BAR1\",state=\"not_printing\"} 1\n",
          "kps_printer_waiting_items{device=\"BAR1\"} 1\n",
          "# TYPE kps_printer_tickets_printed_total counter\n",
          "kps_printer_tickets_printed_total{device=\"BAR1\"} 12\n",
          "kps_printer_failures_total{device=\"BAR1\"} 2\n",
          "kps_printer_seconds_since_last_print{device=\"BAR1\"} 250.000\n",
          "kps_server_ticks_total 42\n", "kps_server_last_tick_duration_seconds 0.012000\n",
          "kps_server_seconds_since_last_tick 1.000\n", "kps_server_standby 0\n",
          "kps_server_waiting_items 2\n"}) {
        EXPECT_THAT(metrics.body, HasSubstr(line));
    }
    EXPECT_THAT(metrics.body, Not(HasSubstr("kps_printer_seconds_since_last_print{device=\"PASS")));
}

TEST_F(StatusApiTest, MetricsCountTicketWaitsInCumulativeBucketsAndDatabaseErrors) {
    SecondsHistogram waits;
    waits.Record(std::chrono::milliseconds(4));
    waits.Record(std::chrono::milliseconds(30));
    waits.Record(std::chrono::minutes(2));
    snapshot.server.firstByte = waits.Read();
    snapshot.server.databaseErrors = 3;
    const std::string body = Get("/metrics").body;
    for (const char* line :
         {"# TYPE kps_order_to_first_byte_seconds histogram\n",
          "kps_order_to_first_byte_seconds_bucket{le=\"0.010\"} 1\n",
          "kps_order_to_first_byte_seconds_bucket{le=\"0.025\"} 1\n",
          "kps_order_to_first_byte_seconds_bucket{le=\"0.050\"} 2\n",
          "kps_order_to_first_byte_seconds_bucket{le=\"60.000\"} 2\n",
          "kps_order_to_first_byte_seconds_bucket{le=\"+Inf\"} 3\n",
          "kps_order_to_first_byte_seconds_sum 120.034\n",
          "kps_order_to_first_byte_seconds_count 3\n", "kps_database_errors_total 3\n"}) {
        EXPECT_THAT(body, HasSubstr(line));
    }
}

TEST_F(StatusApiTest, HealthSaysWhichWhileTheTicksGoOnAndWhyNotOtherwise) {
    EXPECT_EQ(Get("/healthz").status, 200);
    EXPECT_EQ(Get("/healthz").body, "Printing for this outlet\n");
    snapshot.server.standby = true;
    EXPECT_EQ(Get("/healthz").status, 200);
    EXPECT_EQ(Get("/healthz").body, "Standby: another server prints for this outlet\n");

    now = kTickEnded + std::chrono::seconds(6);
    EXPECT_EQ(Get("/healthz").status, 503);
    EXPECT_EQ(Get("/healthz").body, "No polling cycle for 6 s\n");
    EXPECT_THAT(Get("/").body,
                HasSubstr("<p id=\"server\" class=\"server late\">No polling cycle for 6 s</p>"));
    snapshot.server.ticks = 0;
    EXPECT_EQ(Get("/healthz").status, 503);
    EXPECT_EQ(Get("/healthz").body, "No polling cycle has run yet\n");
}

TEST_F(StatusApiTest, EveryFormatEscapesTheTextOfItsData) {
    EXPECT_THAT(Get("/").body,
                HasSubstr("<td>Grill &quot;A&quot; &lt;b&gt;&amp;<small>direct port</small></td>"));
    EXPECT_THAT(Get("/").body, Not(HasSubstr("<b>")));
    EXPECT_THAT(Get("/api/v1/status").body,
                HasSubstr(R"({"device":"Grill \"A\" \u003cb\u003e\u0026","kind":"direct port")"));
    EXPECT_THAT(Get("/metrics").body, HasSubstr(R"(kps_printer_up{device="Grill \"A\" <b>&"} 1)"));
}

TEST_F(StatusApiTest, UnknownPathsAndNamesAreNotFoundAndOnlyGetAndHeadAreServed) {
    for (const char* path :
         {"/nope", "/index.html", "/api/v1/status/", "/api/v1/tickets/", "/api/v1/tickets/NOPE",
          "/tickets/BAR1/0", "/tickets/BAR1/3", "/tickets/BAR1/1x", "/tickets/BAR1/-1",
          "/tickets/BAR1/", "/tickets/BAR1", "/tickets/NOPE/1", "/tickets/../../etc/passwd",
          "/tickets/BAR1/99999999999999999999"}) {
        EXPECT_EQ(Get(path).status, 404) << path;
    }
    EXPECT_EQ(Request("HEAD", "/metrics").status, 200);
    for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS"}) {
        const StatusResponse refused = Request(method, "/api/v1/status");
        EXPECT_EQ(refused.status, 405) << method;
        EXPECT_THAT(refused.headers, testing::Contains(testing::Pair("Allow", "GET, HEAD")));
    }
    EXPECT_EQ(Request("POST", "/nope").status, 404);
    StatusRequest page;
    page.method = "GET";
    page.path = "/";
    EXPECT_EQ(RouteStatusRequest(page, nullptr, now, nullptr).status, 503);
}

}  // namespace
}  // namespace kps::test
