#include "tests/support/FaultyDisk.h"

#include <sqlite3.h>

#include <QMutex>
#include <algorithm>
#include <array>
#include <atomic>

namespace {

// The state is shared by every connection, whichever thread opens it.
struct State {
    QMutex mutex;
    sqlite3_vfs* real = nullptr;
    sqlite3_vfs layer{};
    sqlite3_io_methods methods{};
    std::array<std::atomic<int>, FaultyDisk::CallCount> calls{};
    bool armed = false;
    FaultyDisk::Fault fault;
    int seen = 0;     // calls of the armed kind since arming
    int failures = 0; // of which failed
};

State disk;

// What each kind of call answers when it fails with an error, in the order of FaultyDisk::Call.
constexpr int errorCodes[] = {SQLITE_CANTOPEN,    SQLITE_IOERR_DELETE,   SQLITE_IOERR_READ,
                              SQLITE_IOERR_WRITE, SQLITE_IOERR_TRUNCATE, SQLITE_IOERR_FSYNC,
                              SQLITE_IOERR_FSTAT};

// Counts the call; SQLITE_OK when it is to go through, otherwise what it answers.
int fault(FaultyDisk::Call call) {
    ++disk.calls[call];
    const QMutexLocker lock(&disk.mutex);
    if (!disk.armed || disk.fault.call != call)
        return SQLITE_OK;
    ++disk.seen;
    if (disk.seen != disk.fault.nth && !(disk.fault.persistent && disk.seen > disk.fault.nth))
        return SQLITE_OK;
    ++disk.failures;
    return disk.fault.failure == FaultyDisk::Failure::Error ? errorCodes[call] : SQLITE_FULL;
}

// Our file: the layer's methods in front, the real file's state right behind them.
sqlite3_file* realOf(sqlite3_file* file) {
    return file + 1;
}

template <auto Method, typename... Args> auto forward(sqlite3_file* file, Args... args) {
    sqlite3_file* real = realOf(file);
    return (real->pMethods->*Method)(real, args...);
}

template <FaultyDisk::Call Kind, auto Method, typename... Args>
int failing(sqlite3_file* file, Args... args) {
    if (const int rc = fault(Kind))
        return rc;
    return forward<Method>(file, args...);
}

// A full disk takes what still fits: the first half of the write.
int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    const int rc = fault(FaultyDisk::Write);
    if (rc != SQLITE_OK && rc != SQLITE_FULL)
        return rc;
    const int written = forward<&sqlite3_io_methods::xWrite>(file, buffer, rc ? amount / 2 : amount, offset);
    return written != SQLITE_OK ? written : rc;
}

int layerOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    file->pMethods = nullptr;
    if (const int rc = fault(FaultyDisk::Open))
        return rc;
    const int rc = disk.real->xOpen(disk.real, name, realOf(file), flags, outFlags);
    if (!realOf(file)->pMethods)
        return rc;
    // Version 2 at most: without xFetch every page is read through xRead.
    disk.methods.iVersion = std::min(realOf(file)->pMethods->iVersion, 2);
    file->pMethods = &disk.methods;
    return rc;
}

int layerDelete(sqlite3_vfs*, const char* name, int syncDir) {
    if (const int rc = fault(FaultyDisk::Delete))
        return rc;
    return disk.real->xDelete(disk.real, name, syncDir);
}

} // namespace

bool FaultyDisk::install() {
    const QMutexLocker lock(&disk.mutex);
    if (disk.real)
        return true;
    disk.real = sqlite3_vfs_find(nullptr);
    if (!disk.real)
        return false;
    disk.layer = *disk.real;
    disk.layer.zName = "cofra-faulty-disk";
    disk.layer.pNext = nullptr;
    disk.layer.szOsFile = int(sizeof(sqlite3_file)) + disk.real->szOsFile;
    disk.layer.xOpen = layerOpen;
    disk.layer.xDelete = layerDelete;
    using M = sqlite3_io_methods;
    // In the order of the fields, version 2: no memory-mapped reads.
    // clang-format off
    disk.methods = M{2, forward<&M::xClose>, failing<Read, &M::xRead>, fileWrite,
        failing<Truncate, &M::xTruncate>, failing<Sync, &M::xSync>, failing<FileSize, &M::xFileSize>,
        forward<&M::xLock>, forward<&M::xUnlock>, forward<&M::xCheckReservedLock>, forward<&M::xFileControl>,
        forward<&M::xSectorSize>, forward<&M::xDeviceCharacteristics>, forward<&M::xShmMap>,
        forward<&M::xShmLock>, forward<&M::xShmBarrier>, forward<&M::xShmUnmap>, nullptr, nullptr};
    // clang-format on
    return sqlite3_vfs_register(&disk.layer, 1) == SQLITE_OK;
}

void FaultyDisk::arm(const Fault& fault) {
    const QMutexLocker lock(&disk.mutex);
    disk.fault = fault;
    disk.armed = true;
    disk.seen = disk.failures = 0;
}

void FaultyDisk::disarm() {
    const QMutexLocker lock(&disk.mutex);
    disk.armed = false;
}

int FaultyDisk::failures() {
    const QMutexLocker lock(&disk.mutex);
    return disk.failures;
}

int FaultyDisk::calls(Call call) {
    return disk.calls[call];
}
