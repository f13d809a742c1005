// Only one process may have the library loaded on one machine. On the virtual installation the
// machine is named by QUVEX_SIM_MACHINE; this test runs copies of itself as the processes.
#if !defined(_WIN32)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim_fixture.h"

namespace quvex::test {
namespace {

struct Child {
    pid_t pid = -1;
    int to_child = -1;    // its standard input
    int from_child = -1;  // its standard output and error
};

Child spawn_self(const std::string& machine, const char* role) {
    int in_pipe[2];
    int out_pipe[2];
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        dup2(out_pipe[1], 2);
        close(in_pipe[1]);
        close(out_pipe[0]);
        setenv("QUVEX_SIM_MACHINE", machine.c_str(), 1);
        setenv("QUVEX_GUARD_ROLE", role, 1);
        execl("/proc/self/exe", "guard-probe", "--gtest_filter=GuardProbe.*", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    return Child{pid, in_pipe[1], out_pipe[0]};
}

std::string read_all(int fd) {
    std::string text;
    char buf[512];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    return text;
}

bool read_until(int fd, const std::string& marker, std::string* text) {
    char c;
    while (read(fd, &c, 1) == 1) {
        text->push_back(c);
        if (text->find(marker) != std::string::npos) return true;
    }
    return false;
}

int exit_status(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(ProcessGuard, SecondProcessIsRefusedAndTheFirstKeepsWorking) {
    const std::string machine = "guard-" + std::to_string(getpid());
    Child first = spawn_self(machine, "hold");
    ASSERT_GT(first.pid, 0);
    std::string first_output;
    ASSERT_TRUE(read_until(first.from_child, "holding\n", &first_output)) << first_output;

    Child second = spawn_self(machine, "refused");
    ASSERT_GT(second.pid, 0);
    close(second.to_child);
    const std::string second_output = read_all(second.from_child);
    EXPECT_EQ(exit_status(second.pid), 3);
    EXPECT_NE(second_output.find("[quvex] DLL already in use!!"), std::string::npos) << second_output;

    ASSERT_EQ(write(first.to_child, "go\n", 3), 3);
    close(first.to_child);
    first_output += read_all(first.from_child);
    EXPECT_EQ(exit_status(first.pid), 0) << first_output;
    EXPECT_NE(first_output.find("initial 0"), std::string::npos) << first_output;

    // Once the first process has gone, the machine takes a new one.
    Child third = spawn_self(machine, "alone");
    close(third.to_child);
    const std::string third_output = read_all(third.from_child);
    EXPECT_EQ(exit_status(third.pid), 0) << third_output;
    std::remove(("/tmp/quvex-sim-machine-" + machine).c_str());
}

// The processes of the test above; does nothing when run without a role.
TEST(GuardProbe, Role) {
    const char* role = std::getenv("QUVEX_GUARD_ROLE");
    if (role == nullptr) GTEST_SKIP() << "runs only as a child of the process guard test";
    if (std::string(role) == "hold") {
        std::printf("holding\n");
        std::fflush(stdout);
        char go[4] = {};
        ASSERT_GT(read(0, go, 3), 0);
    }
    install_cards({0});
    int16_t count = 0;
    std::printf("initial %d\n", quvex_initial(&count));
    std::fflush(stdout);
    quvex_close();
}

}  // namespace
}  // namespace quvex::test
#endif
