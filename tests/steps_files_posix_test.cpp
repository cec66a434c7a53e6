// chords-steps' picture file on POSIX systems: targets that are not regular
// files are written in place, links are followed, permissions kept, "-" is
// standard output, and an interrupted run leaves no temporary file. Every
// special file lives in a scratch folder, never on the real devices.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "exec_chords.h"
#include "program_runner.h"

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> Lesson = {"0", "1", "0.0001", "100"};

std::string contentsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

ProgramRun drawInto(const std::string& target) {
    RunOptions options;
    options.program = STEPS_PROGRAM;
    options.arguments = Lesson;
    options.arguments.insert(options.arguments.end(), {"--svg", target});
    return runChords("", options);
}

struct ScratchFolder {
    fs::path path = fs::temp_directory_path() / ("chords-steps-files-" + std::to_string(::getpid()));
    ScratchFolder() { fs::create_directories(path); }
    ~ScratchFolder() { fs::remove_all(path); }
    std::string operator/(const char* name) const { return (path / name).string(); }
};

TEST(StepsFileTest, TargetsThatAreNotFilesAreWrittenInPlace) {
    const ScratchFolder scratch;
    const std::string picture = contentsOf(STEPS_DOCS_PICTURE);

    const std::string fifo = scratch / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = contentsOf(fifo); });
    EXPECT_EQ(drawInto(fifo).exitStatus, 0);
    reader.join();
    EXPECT_EQ(received, picture);
    EXPECT_TRUE(fs::is_fifo(fifo));

    // Device files of their own, where the run may make them (as root).
    const std::string null = scratch / "null";
    const std::string full = scratch / "full";
    if (::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0 ||
        ::mknod(full.c_str(), S_IFCHR | 0666, ::makedev(1, 7)) != 0) {
        GTEST_SKIP() << "no device files can be made here";
    }
    EXPECT_EQ(drawInto(null).exitStatus, 0);
    EXPECT_TRUE(fs::is_character_file(null));
    const ProgramRun onFull = drawInto(full);
    EXPECT_EQ(onFull.exitStatus, 1);
    EXPECT_EQ(onFull.errors,
              "chords-steps: не удалось записать рисунок в файл " + full + ": нет места на устройстве\n");
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_FALSE(fs::exists(full + ".part"));
}

TEST(StepsFileTest, LinkIsFollowedAndTheFileKeepsItsPermissions) {
    const ScratchFolder scratch;
    const std::string real = scratch / "real.svg";
    const std::string link = scratch / "link.svg";
    std::ofstream(real) << "old";
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("real.svg", link);
    EXPECT_EQ(drawInto(link).exitStatus, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contentsOf(real), contentsOf(STEPS_DOCS_PICTURE));
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path), fs::directory_iterator()), 2);
}

TEST(StepsFileTest, DashIsStandardOutputInsteadOfTheTable) {
    const ProgramRun run = drawInto("-");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.output, contentsOf(STEPS_DOCS_PICTURE));
    EXPECT_EQ(run.errors, "");
}

// Whether the picture is written does not depend on when the table's reader
// went away: the walk goes on for it, and the run says the table was cut.
TEST(StepsFileTest, PictureIsCompletedWhenTheTablesReaderIsGone) {
    const ScratchFolder scratch;
    const std::string target = scratch / "p.svg";
    RunOptions options;
    options.program = STEPS_PROGRAM;
    options.arguments = {"0", "1", "0.0001", "100", "--svg", target};
    options.outputReaderGone = true;
    const ProgramRun run = runChords("", options);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.errors, "chords-steps: таблица выведена не полностью: стандартный вывод "
                          "перестал принимать данные\n");
    EXPECT_EQ(contentsOf(target), contentsOf(STEPS_DOCS_PICTURE));
    // Also when the table is cut long before the walk ends.
    const std::string csv = scratch / "c.csv";
    options.arguments = {"1", "-18", "0", "3000", "--csv", csv};
    EXPECT_EQ(runChords("", options).exitStatus, 1);
    EXPECT_NE(contentsOf(csv).find("\r\n3000,0.99982125,-18,"), std::string::npos);
}

// Ctrl+C in a long run: the table up to its last whole row, no temporary
// picture, and the end the signal gives.
TEST(StepsFileTest, InterruptedRunLeavesNoTemporaryPicture) {
    const ScratchFolder scratch;
    const std::string table = scratch / "table.txt";
    const std::string target = scratch / "big.svg";
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        fs::remove(table);  // the last run's rows would let the signal come before this run starts
        const pid_t child = ::fork();
        if (child == 0) {
            const int output = ::open(table.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(output, STDOUT_FILENO);
            execChords({"LC_ALL=C.UTF-8"}, STEPS_PROGRAM,
                       {"1", "-18", "0", "4294967295", "--svg", target});
        }
        while (!fs::exists(table) || fs::file_size(table) < 100000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(child, signalNumber);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        const std::string rows = contentsOf(table);
        EXPECT_EQ(rows.back(), '\n');
        EXPECT_FALSE(fs::exists(target + ".part"));
        EXPECT_FALSE(fs::exists(target));
    }
}

}  // namespace
