#include "status/StatusPage.h"

#include "sending/PrinterStateLine.h"
#include "status/HtmlDocument.h"
#include "status/StatusHealth.h"
#include "status/StatusWords.h"
#include "status/WebText.h"

namespace kps {

namespace {

constexpr std::string_view kStyle =
    ".server{padding:.4rem;background:#dfd}.server.late,#lost{background:#b00;color:#fff;"
    "padding:.4rem}"
    ".scroll{overflow-x:auto}table{border-collapse:collapse;width:100%;background:#fff}"
    "th,td{text-align:left;padding:.3rem .4rem;border-bottom:1px solid #ddd;vertical-align:top}"
    "small{color:#555;display:block}"
    ".state.printing{color:#060}.state.not_printing,.state.question_pending{color:#b00;"
    "font-weight:bold}.state.suspended{color:#a50}"
    "details{background:#fff;margin:.2rem 0;padding:.3rem}summary{cursor:pointer}"
    "ol{margin:.3rem 0;padding-left:2rem}"
    "form{display:inline;margin:0 .3rem .2rem 0}button{padding:.3rem .6rem;font-size:1rem}";

// Builds the same rows from the API as the server does, with text only.
constexpr std::string_view kScript = R"(<script>
(function () {
  'use strict';
  var shownTickets = null;
  function el(tag, text, cls) {
    var e = document.createElement(tag);
    if (text !== undefined) e.textContent = String(text);
    if (cls) e.className = cls;
    return e;
  }
  function row(cells) {
    var tr = el('tr');
    cells.forEach(function (c) { tr.appendChild(c instanceof Node ? c : el('td', c)); });
    return tr;
  }
  function fill(id, children) {
    var box = document.getElementById(id);
    while (box.firstChild) box.removeChild(box.firstChild);
    children.forEach(function (c) { box.appendChild(c); });
  }
  function form(a) {
    var f = el('form'), b = el('button', a.label);
    f.method = 'post';
    f.action = a.path;
    if (a.answer) {
      var i = el('input');
      i.type = 'hidden';
      i.name = 'answer';
      i.value = a.answer;
      f.appendChild(i);
    }
    f.appendChild(b);
    return f;
  }
  function printer(p) {
    var name = el('td', p.device), actions = el('td');
    if (p.kind) name.appendChild(el('small', p.kind));
    p.actions.forEach(function (a) { actions.appendChild(form(a)); });
    return row([name, el('td', p.words, 'state ' + p.state), p.lastPrintedText,
                p.waitingItems, p.ticketsOnTheirWay, actions]);
  }
  function device(d, open) {
    var box = el('details'), list = el('ol');
    box.setAttribute('data-device', d.device);
    box.open = open.indexOf(d.device) >= 0;
    box.appendChild(el('summary', d.device + ' (' + d.tickets.length + ')'));
    d.tickets.forEach(function (t) {
      var a = el('a', t.title), li = el('li');
      a.href = '/tickets/' + encodeURIComponent(d.device) + '/' + t.n;
      li.appendChild(a);
      li.appendChild(document.createTextNode(' '));
      li.appendChild(form({label: 'Reprint', answer: '',
                           path: '/api/v1/tickets/' + encodeURIComponent(d.device) + '/' + t.n +
                                 '/reprint'}));
      list.appendChild(li);
    });
    box.appendChild(list);
    return box;
  }
  function show(s) {
    var server = document.getElementById('server'), more = document.getElementById('more');
    server.textContent = s.server.line;
    server.className = s.server.healthy ? 'server' : 'server late';
    fill('printers', s.printers.map(printer));
    document.getElementById('waiting-count').textContent = s.waiting.total;
    fill('waiting', s.waiting.rows.map(row));
    more.textContent = 'and ' + (s.waiting.total - s.waiting.rows.length) + ' more';
    more.hidden = s.waiting.total <= s.waiting.rows.length;
    var tickets = JSON.stringify(s.tickets);
    if (tickets !== shownTickets) {
      var open = [];
      document.querySelectorAll('#tickets details').forEach(function (d) {
        if (d.open) open.push(d.getAttribute('data-device'));
      });
      fill('tickets', s.tickets.map(function (d) { return device(d, open); }));
      shownTickets = tickets;
    }
    document.getElementById('lost').hidden = true;
  }
  function refresh() {
    fetch('/api/v1/status', {cache: 'no-store'})
      .then(function (r) { if (!r.ok) throw new Error(r.status); return r.json(); })
      .then(show)
      .catch(function () { document.getElementById('lost').hidden = false; });
  }
  setInterval(refresh, 2000);
})();
</script>
)";

std::string Cell(std::string_view text) {
    return "<td>" + EscapeHtml(text) + "</td>";
}

std::string ActionForm(const PageAction& action) {
    std::string html = "<form method=\"post\" action=\"" + EscapeHtml(action.path) + "\">";
    if (!action.answer.empty()) {
        html +=
            "<input type=\"hidden\" name=\"answer\" value=\"" + EscapeHtml(action.answer) + "\">";
    }
    if (!action.ticket.empty()) {
        html +=
            "<input type=\"hidden\" name=\"ticket\" value=\"" + EscapeHtml(action.ticket) + "\">";
    }
    return html + "<button>" + EscapeHtml(action.label) + "</button></form>";
}

std::string PrinterRow(const PrinterSnapshot& printer) {
    const PrinterStatus& status = printer.status;
    std::string row = "<tr><td>" + EscapeHtml(status.device);
    const std::string_view kind = KindWords(printer.printingType);
    if (!kind.empty()) {
        row += "<small>" + std::string(kind) + "</small>";
    }
    row += "</td><td class=\"state " + std::string(StateKey(status.state)) + "\">" +
           EscapeHtml(DescribePrinterState(status)) + "</td>";
    row += Cell(LastPrintedText(status)) + Cell(std::to_string(status.waitingItems)) +
           Cell(std::to_string(printer.ticketsOnTheirWay)) + "<td>";
    for (const PageAction& action : PrinterActions(printer)) {
        row += ActionForm(action);
    }
    return row + "</td></tr>\n";
}

std::string Printers(const StatusSnapshot& snapshot) {
    std::string html =
        "<h2>Printers</h2>\n<div class=\"scroll\"><table><thead><tr><th>Printer</th>"
        "<th>State</th><th>Last printed</th><th>Waiting items</th><th>Tickets on the way</th>"
        "<th></th></tr></thead>\n<tbody id=\"printers\">\n";
    for (const PrinterSnapshot& printer : snapshot.printers) {
        html += PrinterRow(printer);
    }
    return html + "</tbody></table></div>\n";
}

std::string Waiting(const StatusSnapshot& snapshot) {
    std::string html = "<h2>Waiting items (<span id=\"waiting-count\">" +
                       std::to_string(snapshot.server.waitingItems) +
                       "</span>)</h2>\n<div class=\"scroll\"><table><thead><tr>";
    // Column 0 of the window's grid is hidden.
    for (std::size_t column = 1; column < WaitingGrid::Columns().size(); ++column) {
        html += "<th>" + EscapeHtml(WaitingGrid::Columns()[column].header) + "</th>";
    }
    html += "</tr></thead>\n<tbody id=\"waiting\">\n";
    for (const WaitingGrid::Row& row : snapshot.waiting) {
        html += "<tr>";
        for (const std::string& cell : row) {
            html += Cell(cell);
        }
        html += "</tr>\n";
    }
    const long more = snapshot.server.waitingItems - static_cast<long>(snapshot.waiting.size());
    html += "</tbody></table></div>\n<p id=\"more\"";
    html += more > 0 ? "" : " hidden";
    return html + ">and " + std::to_string(more) + " more</p>\n";
}

std::string Tickets(const StatusSnapshot& snapshot) {
    std::string html = "<h2>Last tickets</h2>\n<div id=\"tickets\">\n";
    for (const auto& [device, tickets] : *snapshot.tickets) {
        html += "<details data-device=\"" + EscapeHtml(device) + "\"><summary>" +
                EscapeHtml(device) + " (" + std::to_string(tickets.size()) + ")</summary><ol>\n";
        for (std::size_t i = 0; i < tickets.size(); ++i) {
            html += "<li><a href=\"/tickets/" + EncodePathSegment(device) + "/" +
                    std::to_string(i + 1) + "\">" + EscapeHtml(TicketTitle(tickets[i])) + "</a> " +
                    ActionForm(ReprintAction(device, i + 1, tickets[i])) + "</li>\n";
        }
        html += "</ol></details>\n";
    }
    return html + "</div>\n";
}

}  // namespace

std::string StatusPageHtml(const StatusSnapshot& snapshot, SteadyTime now) {
    const bool healthy = HealthOf(snapshot, now).healthy;
    std::string body = "<h1>Kitchen printers</h1>\n<p id=\"server\" class=\"server";
    body += healthy ? "" : " late";
    body += "\">" + EscapeHtml(ServerLine(snapshot, now)) + "</p>\n";
    body += "<p id=\"lost\" hidden>The server does not answer: this is what it said last.</p>\n";
    body += Printers(snapshot) + Waiting(snapshot) + Tickets(snapshot);
    body += kScript;
    return HtmlDocument("Kitchen printers", kStyle, body);
}

}  // namespace kps
