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

FaultyDisk::Failure armedFailure() {
    const QMutexLocker lock(&state().mutex);
    return state().fault.failure;
}

// The answer of a failing read, truncate, sync or size call.
int failWith(FaultyDisk::Call call) {
    const bool full = armedFailure() == FaultyDisk::Failure::Full;
    switch (call) {
    case FaultyDisk::Read:
        return SQLITE_IOERR_READ;
    case FaultyDisk::FileSize:
        return SQLITE_IOERR_FSTAT;
    default:
        return full ? SQLITE_FULL : call == FaultyDisk::Sync ? SQLITE_IOERR_FSYNC : SQLITE_IOERR_TRUNCATE;
    }
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

// The calls the layer only passes on to the real file.
template <auto Method, typename... Args> auto forward(sqlite3_file* file, Args... args) {
    sqlite3_file* real = realOf(file);
    return (real->pMethods->*Method)(real, args...);
}

// The calls that fail as a whole.
template <FaultyDisk::Call Kind, auto Method, typename... Args>
int failing(sqlite3_file* file, Args... args) {
    if (shouldFail(Kind))
        return failWith(Kind);
    return forward<Method>(file, args...);
}

int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (!shouldFail(FaultyDisk::Write))
        return forward<&sqlite3_io_methods::xWrite>(file, buffer, amount, offset);
    if (armedFailure() == FaultyDisk::Failure::Error)
        return SQLITE_IOERR_WRITE;
    // A full disk takes what still fits.
    const int rc = forward<&sqlite3_io_methods::xWrite>(file, buffer, amount / 2, offset);
    return rc == SQLITE_OK ? SQLITE_FULL : rc;
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
    using M = sqlite3_io_methods;
    s.methods = M{2,
                  forward<&M::xClose>,
                  failing<Read, &M::xRead>,
                  fileWrite,
                  failing<Truncate, &M::xTruncate>,
                  failing<Sync, &M::xSync>,
                  failing<FileSize, &M::xFileSize>,
                  forward<&M::xLock>,
                  forward<&M::xUnlock>,
                  forward<&M::xCheckReservedLock>,
                  forward<&M::xFileControl>,
                  forward<&M::xSectorSize>,
                  forward<&M::xDeviceCharacteristics>,
                  forward<&M::xShmMap>,
                  forward<&M::xShmLock>,
                  forward<&M::xShmBarrier>,
                  forward<&M::xShmUnmap>,
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
