#include "reprint/ReprintJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "startup/StateFolder.h"
#include "startup/StateRecord.h"

namespace kps {
namespace {

// Entries, fields separated by tabs:
//   S job id,id,...   a job's first byte is about to leave
//   U job             nothing of it left
//   M id,id,...       these items are marked printed
//   N notice device   a device took a notice
//   D notice          the notice is marked printed
// each framed as '#' and a state record of one field, which carries its
// length and checksum. '#' never occurs inside a frame, so a reader finds
// the next one after a torn one.
constexpr char kTab = '\t';
constexpr char kFrame = '#';
constexpr std::string_view kKind = "reprint-journal-entry";

std::vector<std::string> Split(const std::string& text, char by) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, by)) {
        parts.push_back(part);
    }
    return parts;
}

// A device name may hold any character: the separators and the escape
// itself are written as %XX, so a name never splits or ends a line.
std::string Escaped(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        if (c == '%' || c == kTab || c == '\n' || c == '\r' || c == ',' || c == kFrame) {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            throw std::invalid_argument("bad escape");
        }
        out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
        i += 2;
    }
    return out;
}

std::string Join(const std::vector<std::string>& ids) {
    std::string text;
    for (const auto& id : ids) {
        if (!text.empty()) {
            text += ',';
        }
        text += Escaped(id);
    }
    return text;
}

std::vector<std::string> SplitIds(const std::string& text) {
    std::vector<std::string> ids = Split(text, ',');
    for (auto& id : ids) {
        id = Unescaped(id);
    }
    return ids;
}

std::string Framed(const std::string& entry) {
    StateRecordWriter record(kKind);
    record.Add(entry);
    std::string frame(1, kFrame);
    frame += record.Finish();
    return frame;
}

// The entry of one frame (the text after its '#'), or nothing when the
// frame is torn or changed.
std::optional<std::string> Unframed(std::string_view frame) {
    std::optional<StateRecordReader> record = StateRecordReader::Open(frame, kKind);
    std::optional<std::string> entry = record ? record->Text() : std::nullopt;
    if (!entry || !record->AtEnd()) {
        return std::nullopt;
    }
    return entry;
}

}  // namespace

ReprintJournal::ReprintJournal(std::string file, const PrintLog& log)
    : file_(std::move(file)),
      log_(log),
      commits_([this](std::vector<std::string>& frames) { return WriteDurably(frames); }) {}

ReprintJournal::~ReprintJournal() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

ReprintJournal::Contents ReprintJournal::Load() {
    std::lock_guard lock(mutex_);
    if (file_.empty()) {
        return {};
    }
    const std::string text = ReadWholeFile(file_).value_or("");
    bool damaged = !text.empty() && text.front() != kFrame;
    for (const std::string& frame : Split(text, kFrame)) {
        if (frame.empty()) {
            continue;
        }
        const std::optional<std::string> entry = Unframed(frame);
        try {
            if (!entry) {
                throw std::invalid_argument("torn entry");
            }
            Replay(Split(*entry, kTab));
        } catch (const std::exception&) {
            damaged = true;
        }
    }
    if (damaged) {
        SetAsideDamagedFile(file_, log_);
    }
    Contents contents;
    std::set<std::string> items;
    for (const auto& [job, ids] : jobs_) {
        items.insert(ids.begin(), ids.end());
    }
    contents.items.assign(items.begin(), items.end());
    contents.deliveries.assign(deliveries_.begin(), deliveries_.end());
    // What an earlier run left is kept as one entry until it is marked.
    jobs_.clear();
    if (!items.empty()) {
        jobs_[0] = items;
    }
    Rewrite();
    return contents;
}

void ReprintJournal::Replay(const std::vector<std::string>& fields) {
    if (fields.size() == 3 && fields[0] == "S") {
        const auto ids = SplitIds(fields[2]);
        jobs_[std::stoul(fields[1])].insert(ids.begin(), ids.end());
    } else if (fields.size() == 2 && fields[0] == "U") {
        jobs_.erase(std::stoul(fields[1]));
    } else if (fields.size() == 2 && fields[0] == "M") {
        for (const auto& id : SplitIds(fields[1])) {
            for (auto& [job, ids] : jobs_) {
                ids.erase(id);
            }
        }
    } else if (fields.size() == 3 && fields[0] == "N") {
        deliveries_.insert({Unescaped(fields[1]), Unescaped(fields[2])});
    } else if (fields.size() == 2 && fields[0] == "D") {
        const std::string notice = Unescaped(fields[1]);
        std::erase_if(deliveries_, [&](const auto& d) { return d.first == notice; });
    } else {
        throw std::invalid_argument("unknown entry");
    }
}

void ReprintJournal::JobStarted(unsigned long job, const std::vector<std::string>& itemIds) {
    {
        std::lock_guard lock(mutex_);
        if (file_.empty() || itemIds.empty()) {
            return;
        }
        jobs_[job].insert(itemIds.begin(), itemIds.end());
    }
    commits_.Add(Framed(std::string("S") + kTab + std::to_string(job) + kTab + Join(itemIds)));
}

void ReprintJournal::JobUnsent(unsigned long job) {
    std::lock_guard lock(mutex_);
    if (file_.empty() || jobs_.erase(job) == 0) {
        return;
    }
    Append(std::string("U") + kTab + std::to_string(job));
}

void ReprintJournal::ItemsMarked(const std::vector<std::string>& itemIds) {
    {
        std::lock_guard lock(mutex_);
        if (file_.empty() || itemIds.empty() || jobs_.empty()) {
            return;
        }
        for (const auto& id : itemIds) {
            for (auto& [job, ids] : jobs_) {
                ids.erase(id);
            }
        }
        std::erase_if(jobs_, [](const auto& entry) { return entry.second.empty(); });
        // Nothing left to remember: the file starts afresh rather than growing.
        if (jobs_.empty() && deliveries_.empty()) {
            Rewrite();
            return;
        }
        Append(std::string("M") + kTab + Join(itemIds));
    }
    CompactIfLarge();
}

void ReprintJournal::CompactIfLarge() {
    std::map<unsigned long, std::set<std::string>> jobs;
    {
        std::lock_guard lock(mutex_);
        if (size_ <= compactAt_) {
            return;
        }
        jobs = jobs_;
    }
    // Asked without the lock: a lane about to send must not wait for it.
    std::set<std::string> items;
    for (const auto& [job, ids] : jobs) {
        items.insert(ids.begin(), ids.end());
    }
    std::set<std::string> waiting = items;
    try {
        if (waiting_) {
            waiting = waiting_(std::vector<std::string>(items.begin(), items.end()));
        }
    } catch (const std::exception&) {
        // Unknown now: everything is kept, and asked again after the next marking.
        return;
    }
    std::lock_guard lock(mutex_);
    for (const auto& [job, ids] : jobs) {
        auto found = jobs_.find(job);
        if (found == jobs_.end()) {
            continue;
        }
        std::erase_if(found->second, [&](const std::string& id) { return !waiting.contains(id); });
        if (found->second.empty()) {
            jobs_.erase(found);
        }
    }
    Rewrite();
}

void ReprintJournal::NoticeDelivered(const std::string& noticeId, const std::string& device) {
    {
        std::lock_guard lock(mutex_);
        if (file_.empty() || !deliveries_.insert({noticeId, device}).second) {
            return;
        }
    }
    commits_.Add(Framed(std::string("N") + kTab + Escaped(noticeId) + kTab + Escaped(device)));
}

void ReprintJournal::NoticeDone(const std::string& noticeId) {
    std::lock_guard lock(mutex_);
    if (file_.empty() ||
        std::erase_if(deliveries_, [&](const auto& d) { return d.first == noticeId; }) == 0) {
        return;
    }
    Append(std::string("D") + kTab + Escaped(noticeId));
}

bool ReprintJournal::Append(const std::string& entry) {
    return AppendFrames(Framed(entry));
}

bool ReprintJournal::AppendFrames(const std::string& bytes) {
    if (fd_ < 0) {
        // Like every state file, its owner's alone: it names what was sent where.
        fd_ = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd_ < 0) {
            Failed("open");
            return false;
        }
    }
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        // A torn entry is cut off, so the next one does not follow it.
        if (end >= 0 && ::ftruncate(fd_, end) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
        Failed("write");
        return false;
    }
    size_ += bytes.size();
    Worked();
    return true;
}

// Entries recorded while a sync is under way are written together, in one
// write, and share the next sync.
bool ReprintJournal::WriteDurably(const std::vector<std::string>& frames) {
    int fd = -1;
    {
        std::string bytes;
        for (const std::string& frame : frames) {
            bytes += frame;
        }
        std::lock_guard lock(mutex_);
        if (!AppendFrames(bytes)) {
            return false;
        }
        // A copy, so that a rewrite meanwhile may close the journal's own.
        fd = ::dup(fd_);
    }
    const bool synced = fd >= 0 && ::fdatasync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    std::lock_guard lock(mutex_);
    if (!synced) {
        Failed("sync");
    }
    return synced;
}

void ReprintJournal::Rewrite() {
    std::string text;
    for (const auto& [job, ids] : jobs_) {
        text += Framed(std::string("S") + kTab + std::to_string(job) + kTab +
                       Join(std::vector<std::string>(ids.begin(), ids.end())));
    }
    for (const auto& [notice, device] : deliveries_) {
        text += Framed(std::string("N") + kTab + Escaped(notice) + kTab + Escaped(device));
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    try {
        std::filesystem::create_directories(std::filesystem::path(file_).parent_path());
        WriteFileAtomically(file_, text);
        size_ = text.size();
        compactAt_ = std::max(kCompactBytes, 2 * size_);
        Worked();
    } catch (const std::exception&) {
        Failed("rewrite");
    }
}

void ReprintJournal::Failed(const std::string& what) {
    if (!failing_) {
        failing_ = true;
        log_.WriteLog("Error Reprint Journal '" + file_ + "' (" + what + ")");
    }
}

void ReprintJournal::Worked() {
    if (failing_) {
        failing_ = false;
        log_.WriteLog("Reprint Journal '" + file_ + "' is written again");
    }
}

}  // namespace kps
