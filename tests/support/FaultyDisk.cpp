#include "tests/support/FaultyDisk.h"

#include <sqlite3.h>

#include <QMutex>
#include <algorithm>
#include <atomic>
#include <cstring>

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
    QStringList opened;
};

State& state() {
    static State s;
    return s;
}

// Counts the call and says whether it is to fail.
bool shouldFail(FaultyDisk::Call call) {
    State& s = state();
    ++s.calls[call];
    const QMutexLocker lock(&s.mutex);
    if (!s.armed || s.fault.call != call)
        return false;
    ++s.seen;
    const bool fail = s.seen == s.fault.nth || (s.fault.persistent && s.seen > s.fault.nth);
    s.failures += fail;
    return fail;
}

int failWith(FaultyDisk::Call call) {
    const QMutexLocker lock(&state().mutex);
    return FaultyDisk::resultCode(FaultyDisk::Fault{call, state().fault.failure, 1, false});
}

FaultyDisk::Failure armedFailure() {
    const QMutexLocker lock(&state().mutex);
    return state().fault.failure;
}

// Our file: the layer's methods in front, the real file's state behind.
struct File {
    sqlite3_file base;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};
File* asFile(sqlite3_file* file) {
    return reinterpret_cast<File*>(file);
}
sqlite3_file* realOf(sqlite3_file* file) {
    return asFile(file)->real();
}

int fileClose(sqlite3_file* file) {
    return realOf(file)->pMethods->xClose(realOf(file));
}

int fileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    sqlite3_file* real = realOf(file);
    if (!shouldFail(FaultyDisk::Read))
        return real->pMethods->xRead(real, buffer, amount, offset);
    if (armedFailure() != FaultyDisk::Failure::Short)
        return SQLITE_IOERR_READ;
    const int half = amount / 2;
    const int rc = real->pMethods->xRead(real, buffer, half, offset);
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ)
        return rc;
    std::memset(static_cast<char*>(buffer) + half, 0, size_t(amount - half));
    return SQLITE_IOERR_SHORT_READ;
}

int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    sqlite3_file* real = realOf(file);
    if (!shouldFail(FaultyDisk::Write))
        return real->pMethods->xWrite(real, buffer, amount, offset);
    if (armedFailure() == FaultyDisk::Failure::Error)
        return SQLITE_IOERR_WRITE;
    // A full disk takes what still fits.
    const int rc = real->pMethods->xWrite(real, buffer, amount / 2, offset);
    return rc == SQLITE_OK ? SQLITE_FULL : rc;
}

int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    if (shouldFail(FaultyDisk::Truncate))
        return failWith(FaultyDisk::Truncate);
    return realOf(file)->pMethods->xTruncate(realOf(file), size);
}

int fileSync(sqlite3_file* file, int flags) {
    if (shouldFail(FaultyDisk::Sync))
        return failWith(FaultyDisk::Sync);
    return realOf(file)->pMethods->xSync(realOf(file), flags);
}

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    if (shouldFail(FaultyDisk::FileSize))
        return failWith(FaultyDisk::FileSize);
    return realOf(file)->pMethods->xFileSize(realOf(file), size);
}

int fileLock(sqlite3_file* file, int lock) {
    return realOf(file)->pMethods->xLock(realOf(file), lock);
}
int fileUnlock(sqlite3_file* file, int lock) {
    return realOf(file)->pMethods->xUnlock(realOf(file), lock);
}
int fileCheckReservedLock(sqlite3_file* file, int* result) {
    return realOf(file)->pMethods->xCheckReservedLock(realOf(file), result);
}
int fileControl(sqlite3_file* file, int op, void* arg) {
    return realOf(file)->pMethods->xFileControl(realOf(file), op, arg);
}
int fileSectorSize(sqlite3_file* file) {
    return realOf(file)->pMethods->xSectorSize(realOf(file));
}
int fileDeviceCharacteristics(sqlite3_file* file) {
    return realOf(file)->pMethods->xDeviceCharacteristics(realOf(file));
}
int fileShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** address) {
    return realOf(file)->pMethods->xShmMap(realOf(file), region, size, extend, address);
}
int fileShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return realOf(file)->pMethods->xShmLock(realOf(file), offset, n, flags);
}
void fileShmBarrier(sqlite3_file* file) {
    realOf(file)->pMethods->xShmBarrier(realOf(file));
}
int fileShmUnmap(sqlite3_file* file, int deleteFlag) {
    return realOf(file)->pMethods->xShmUnmap(realOf(file), deleteFlag);
}

int layerOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    State& s = state();
    file->pMethods = nullptr;
    if (shouldFail(FaultyDisk::Open))
        return SQLITE_CANTOPEN;
    const int rc = s.real->xOpen(s.real, name, asFile(file)->real(), flags, outFlags);
    sqlite3_file* real = asFile(file)->real();
    if (!real->pMethods)
        return rc;
    {
        const QMutexLocker lock(&s.mutex);
        s.opened.append(name ? QString::fromUtf8(name) : QString());
        if (s.opened.size() > 300)
            s.opened.remove(0, 100);
    }
    // Version 2 at most: without xFetch every page is read through xRead.
    s.methods.iVersion = std::min(real->pMethods->iVersion, 2);
    file->pMethods = &s.methods;
    return rc;
}

int layerDelete(sqlite3_vfs*, const char* name, int syncDir) {
    if (shouldFail(FaultyDisk::Delete))
        return SQLITE_IOERR_DELETE;
    return state().real->xDelete(state().real, name, syncDir);
}

} // namespace

bool FaultyDisk::install() {
    State& s = state();
    const QMutexLocker lock(&s.mutex);
    if (s.real)
        return true;
    s.real = sqlite3_vfs_find(nullptr);
    if (!s.real)
        return false;
    s.layer = *s.real;
    s.layer.zName = "cofra-faulty-disk";
    s.layer.pNext = nullptr;
    s.layer.szOsFile = int(sizeof(File)) + s.real->szOsFile;
    s.layer.xOpen = layerOpen;
    s.layer.xDelete = layerDelete;
    s.methods = sqlite3_io_methods{2,
                                   fileClose,
                                   fileRead,
                                   fileWrite,
                                   fileTruncate,
                                   fileSync,
                                   fileSize,
                                   fileLock,
                                   fileUnlock,
                                   fileCheckReservedLock,
                                   fileControl,
                                   fileSectorSize,
                                   fileDeviceCharacteristics,
                                   fileShmMap,
                                   fileShmLock,
                                   fileShmBarrier,
                                   fileShmUnmap,
                                   nullptr,
                                   nullptr};
    return sqlite3_vfs_register(&s.layer, 1) == SQLITE_OK;
}

void FaultyDisk::arm(const Fault& fault) {
    const QMutexLocker lock(&state().mutex);
    state().fault = fault;
    state().armed = true;
    state().seen = 0;
    state().failures = 0;
}

void FaultyDisk::disarm() {
    const QMutexLocker lock(&state().mutex);
    state().armed = false;
}

int FaultyDisk::failures() {
    const QMutexLocker lock(&state().mutex);
    return state().failures;
}

int FaultyDisk::calls(Call call) {
    return state().calls[call];
}

QStringList FaultyDisk::openedFiles() {
    const QMutexLocker lock(&state().mutex);
    return state().opened;
}

const char* FaultyDisk::callName(Call call) {
    static const char* const names[CallCount] = {"xOpen",     "xDelete", "xRead",    "xWrite",
                                                 "xTruncate", "xSync",   "xFileSize"};
    return names[call];
}

int FaultyDisk::resultCode(const Fault& fault) {
    switch (fault.call) {
    case Open:
        return SQLITE_CANTOPEN;
    case Delete:
        return SQLITE_IOERR_DELETE;
    case Read:
        return fault.failure == Failure::Short ? SQLITE_IOERR_SHORT_READ : SQLITE_IOERR_READ;
    case Write:
        return fault.failure == Failure::Error ? SQLITE_IOERR_WRITE : SQLITE_FULL;
    case Truncate:
        return fault.failure == Failure::Full ? SQLITE_FULL : SQLITE_IOERR_TRUNCATE;
    case Sync:
        return fault.failure == Failure::Full ? SQLITE_FULL : SQLITE_IOERR_FSYNC;
    case FileSize:
    case CallCount:
        break;
    }
    return SQLITE_IOERR_FSTAT;
}
