#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/file_access.h"
#include "platform/file_lock.h"
#include "tests/support/scratch_folder.h"

namespace {

using platform::FileLock;
using platform::LockMode;
using platform::LockOutcome;
using velaset_test::ScratchFolder;

LockOutcome Take(FileLock& lock, const std::string& path, LockMode mode, int wait = 0) {
    platform::Status failure;
    return lock.Acquire(path, mode, wait, &failure);
}

TEST(FileLock, AWriterIsAloneAndReadersShare) {
    ScratchFolder scratch;
    const std::string path = scratch.Path("p.mip.lock");
    FileLock writer, other;
    ASSERT_EQ(Take(writer, path, LockMode::Exclusive), LockOutcome::Locked);
    platform::Status failure;
    EXPECT_EQ(other.Acquire(path, LockMode::Exclusive, 100, &failure), LockOutcome::Busy);
    EXPECT_EQ(failure.subject, path);
    EXPECT_EQ(Take(other, path, LockMode::Shared, 50), LockOutcome::Busy);
    writer.Release();

    FileLock reader, second;
    ASSERT_EQ(Take(reader, path, LockMode::Shared), LockOutcome::Locked);
    EXPECT_EQ(Take(second, path, LockMode::Shared), LockOutcome::Locked);
    EXPECT_EQ(Take(writer, path, LockMode::Exclusive, 50), LockOutcome::Busy);
    reader.Release();
    second.Release();
    EXPECT_EQ(Take(writer, path, LockMode::Exclusive), LockOutcome::Locked);
    EXPECT_TRUE(writer.Held());

    FileLock lost;
    const std::string missing = platform::JoinSourcePath(scratch.Path("manca"), "p.mip.lock");
    EXPECT_EQ(lost.Acquire(missing, LockMode::Exclusive, 0, &failure), LockOutcome::Failed);
    EXPECT_EQ(failure.kind, platform::ErrorKind::NotFound);
    EXPECT_EQ(failure.subject, missing);
    EXPECT_FALSE(lost.Held());
}

TEST(FileLock, AWaitEndsWhenTheHolderLetsGo) {
    ScratchFolder scratch;
    const std::string path = scratch.Path("p.mip.lock");
    FileLock holder, waiter;
    ASSERT_EQ(Take(holder, path, LockMode::Exclusive), LockOutcome::Locked);
    std::thread release([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.Release();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Take(waiter, path, LockMode::Exclusive, 10000), LockOutcome::Locked);
    release.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
}

} // namespace
