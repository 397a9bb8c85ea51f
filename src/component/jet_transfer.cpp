// SPDX-License-Identifier: MIT
#include "component/jet_transfer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "component/product_file_lock.h"
#include "jet/connection_string.h"
#include "jet/jetfile/jet_file.h"
#include "productdb/jet_import.h"

namespace component {

namespace {

// "\r" and the line again, over what it wrote before; a terminal only.
class ProgressLine {
  public:
    explicit ProgressLine(int fd) : m_fd(fd >= 0 && ::isatty(fd) ? fd : -1) {}
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const productdb::JetImportProgress& p) {
        if (m_fd < 0 || p.table.empty()) {
            return;
        }
        const unsigned percent = p.total == 0 ? 100 : static_cast<unsigned>(p.rows * 100 / p.total);
        write("\rrv_makedb: " + p.table + ": " + std::to_string(p.rows) + " / " +
              std::to_string(p.total) + " rows (" + std::to_string(percent) + "%)\x1b[K");
        m_shown = true;
    }
    void clear() {
        if (m_shown) {
            write("\r\x1b[K");
            m_shown = false;
        }
    }

  private:
    void write(const std::string& s) const {
        [[maybe_unused]] const ssize_t n = ::write(m_fd, s.data(), s.size());
    }
    int m_fd;
    bool m_shown = false;
};

}  // namespace

JetImportStatus importJetDatabase(const JetImportJob& job, std::ostream& out, std::ostream& err) {
    const bool onServer = jet::ConnectionString::namesServer(job.newFile);
    const std::string shownNew =
        onServer ? jet::ConnectionString::withoutPassword(job.newFile) : job.newFile;
    struct stat st {};
    if (!onServer && ::lstat(job.newFile.c_str(), &st) == 0) {
        err << "rv_makedb: " << job.newFile
            << " exists already: --import-jet makes a new product database\n";
        return JetImportStatus::kUsage;
    }
    ProgressLine progress(job.progressFd);
    productdb::JetImportOptions options;
    options.stopRequested = job.stopRequested;
    options.progress = [&](const productdb::JetImportProgress& p) { progress.show(p); };
    try {
        // On a server a wizard could open the database while it is being filled: it is
        // held as a wizard holds it, and a wizard open on it turns the import away.
        ProductFileLock lock;
        if (onServer &&
            lock.take(job.newFile, jet::ConnectionString::build(job.newFile, job.password)) ==
                ProductFileLock::Outcome::kInUse) {
            err << "rv_makedb: " << shownNew << ": a wizard has it open\n";
            return JetImportStatus::kRefused;
        }
        const productdb::JetImportResult r =
            productdb::importJetProduct(job.oldFile, {job.newFile, job.password}, options);
        progress.clear();
        out << shownNew << ": " << r.tables << " tables, " << r.fields << " fields, " << r.rows
            << " rows imported from " << job.oldFile << "\n";
        return JetImportStatus::kDone;
    } catch (const std::exception& e) {
        progress.clear();
        err << "rv_makedb: " << e.what() << "\n";
        return JetImportStatus::kRefused;
    }
}

bool isEarlierVersionDatabase(const std::string& path) {
    return jetfile::isJetFile(path);
}

}  // namespace component
