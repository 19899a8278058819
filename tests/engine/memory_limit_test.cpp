// Control group memory limits read from made-up /proc and /sys/fs/cgroup trees.
#include "engine/memory/memory_limit.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/memory/physical_memory.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

TEST(MemoryLimitTest, TheSmallestLimitOfTheGroupAndThoseAboveIt) {
    struct Row {
        const char* name;
        std::string cgroup;                                      // /proc/self/cgroup
        std::vector<std::pair<std::string, std::string>> files;  // under the cgroup root
        std::optional<uint64_t> limit;
    };
    const std::vector<Row> rows = {
        {"v2 limit",
         "0::/user.slice/app\n",
         {{"user.slice/app/memory.max", "4294967296\n"}},
         4294967296},
        {"v2 no limit", "0::/app\n", {{"app/memory.max", "max\n"}}, std::nullopt},
        {"v2 parent smaller",
         "0::/a/b\n",
         {{"a/b/memory.max", "8000000\n"}, {"a/memory.max", "2000000\n"}},
         2000000},
        {"v2 group missing, root mounted as the namespace's",
         "0::/not/here\n",
         {{"memory.max", "3000000\n"}},
         3000000},
        {"v2 root group", "0::/\n", {}, std::nullopt},
        {"v1 limit",
         "5:cpu,cpuacct:/x\n4:memory:/docker/abc\n0::/\n",
         {{"memory/docker/abc/memory.limit_in_bytes", "536870912\n"}},
         536870912},
        {"v1 unlimited is a huge number",
         "4:memory:/\n",
         {{"memory/memory.limit_in_bytes", "9223372036854771712\n"}},
         9223372036854771712ULL},
        {"v1 among other controllers",
         "3:blkio,memory:/g\n",
         {{"memory/g/memory.limit_in_bytes", "1000\n"}},
         1000},
        {"both hierarchies: the smaller",
         "4:memory:/g\n0::/g\n",
         {{"memory/g/memory.limit_in_bytes", "7000\n"}, {"g/memory.max", "5000\n"}},
         5000},
        {"garbage is no limit", "0::/g\n", {{"g/memory.max", "12ab\n"}}, std::nullopt},
        {"no cgroup file", "", {}, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder proc;
        test::TempFolder cgroup;
        if (!row.cgroup.empty()) proc.WriteFile("self/cgroup", row.cgroup);
        for (const auto& [path, text] : row.files) cgroup.WriteFile(path, text);
        EXPECT_EQ(ControlGroupMemoryLimit(proc.Path().string(), cgroup.Path().string()), row.limit);
    }
}

TEST(MemoryLimitTest, UsableMemoryNeverExceedsPhysicalMemory) {
    EXPECT_LE(UsableMemoryBytes(), PhysicalMemoryBytes());
    EXPECT_GT(UsableMemoryBytes(), 0u);
}

}  // namespace
}  // namespace pixmora
