// Loading as a whole: the working copy, the INI file left as it was, and failures that
// leave nothing behind (no memory, no open descriptor, no working copy).
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "ini_test.h"

namespace {

// Runs `body` in a child process and gives its exit status (-1 when it did not exit).
template <typename Body>
int InChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string AllBytesExcept26() {
  std::string bytes;
  for (int i = 0; i < 256; ++i) {
    if (i != 26) bytes.push_back(static_cast<char>(i));
  }
  return bytes;
}

}  // namespace

class OpenTest : public IniTest {
 protected:
  // The load failed and left nothing behind.
  void ExpectCleanFailure(IniFile* ini, int descriptorsBefore, const std::string& path) {
    EXPECT_EQ(ini, nullptr);
    EXPECT_EQ(g_allocations.live, 0);
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
    EXPECT_FALSE(EntryExists(WorkingCopyName(path)));
  }
};

TEST_F(OpenTest, WorkingCopyIsByteExactWhileOpenAndGoneAfterClose) {
  std::string body = "[a]\r\nk=5\r\n;" + AllBytesExcept26() + "\n";
  while (body.size() < 3 * 8192) body += "x=" + AllBytesExcept26() + "\r";
  for (const std::string& tail : {std::string(), std::string("\x1a[b]\nj=1\n\x1a more")}) {
    const std::string text = body + tail;
    const int descriptors = OpenDescriptorCount();
    IniFile* ini = Load(text);
    ASSERT_NE(ini, nullptr);
    EXPECT_EQ(ReadFile(WorkingCopyName(iniPath)), body) << "tail " << tail.size();
    EXPECT_EQ(SelectHeading(ini, "b"), -1);
    EXPECT_EQ(CloseIni(ini), 0);
    EXPECT_FALSE(EntryExists(WorkingCopyName(iniPath)));
    EXPECT_EQ(ReadFile(iniPath), text);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
  }
}

TEST_F(OpenTest, WorkingCopyGetsNoMorePermissionThanTheUmask) {
  const mode_t old = umask(027);
  IniFile* ini = Load("[a]\n");
  umask(old);
  ASSERT_NE(ini, nullptr);
  struct stat st;
  ASSERT_EQ(lstat(WorkingCopyName(iniPath).c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  CloseIni(ini);
}

// Whatever stands under the working copy's name is replaced, never written through.
TEST_F(OpenTest, PlantedEntryAtWorkingCopyNameIsReplacedNotFollowed) {
  const std::string victim = dir.File("victim");
  const std::string planted = WorkingCopyName(iniPath);
  struct Plant {
    const char* what;
    bool victimExists;
    int (*make)(const char* target, const char* link);
  } const plants[] = {
      {"symbolic link to a file", true, [](const char* t, const char* l) { return symlink(t, l); }},
      {"dangling symbolic link", false, [](const char* t, const char* l) { return symlink(t, l); }},
      {"hard link to a file", true, [](const char* t, const char* l) { return link(t, l); }},
  };
  const std::string text = "[a]\nk=12\n";
  for (const Plant& p : plants) {
    SCOPED_TRACE(p.what);
    unlink(victim.c_str());
    if (p.victimExists) WriteFile(victim, "precious");
    ASSERT_EQ(p.make(victim.c_str(), planted.c_str()), 0);
    IniFile* ini = Load(text);
    ASSERT_NE(ini, nullptr);
    struct stat st;
    ASSERT_EQ(lstat(planted.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_EQ(ReadFile(planted), text);
    int value = 0;
    ASSERT_EQ(SelectKey(ini, "k"), 0);
    EXPECT_EQ(ReadInt(ini, &value), 0);
    EXPECT_EQ(value, 12);
    CloseIni(ini);
    EXPECT_FALSE(EntryExists(planted));
    EXPECT_EQ(EntryExists(victim), p.victimExists);
    if (p.victimExists) {
      EXPECT_EQ(ReadFile(victim), "precious");
    }
  }
}

TEST_F(OpenTest, BadPathsAndUnreadableFilesFail) {
  const int descriptors = OpenDescriptorCount();
  EXPECT_EQ(OpenIni(nullptr), nullptr);
  EXPECT_EQ(OpenIni(""), nullptr);
  EXPECT_EQ(g_allocations.made, 0u);

  // A path ending in "~" would make the file its own working copy.
  const std::string tilde = dir.File("other.in~");
  WriteFile(tilde, "[a]\nk=1\n");
  EXPECT_EQ(OpenIni(tilde.c_str()), nullptr);
  EXPECT_EQ(ReadFile(tilde), "[a]\nk=1\n");

  // A missing file: no working copy is made, and one that stands there stays.
  const std::string missing = dir.File("missing.ini");
  WriteFile(WorkingCopyName(missing), "left alone");
  EXPECT_EQ(OpenIni(missing.c_str()), nullptr);
  EXPECT_EQ(ReadFile(WorkingCopyName(missing)), "left alone");
  unlink(WorkingCopyName(missing).c_str());

  // A folder opens but cannot be read: a read error fails the load.
  const std::string folder = dir.File("folder.ini");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  ExpectCleanFailure(OpenIni(folder.c_str()), descriptors, folder);

  // The working copy's name taken by a folder, which cannot be removed.
  ASSERT_EQ(mkdir(WorkingCopyName(iniPath).c_str(), 0755), 0);
  EXPECT_EQ(Load("[a]\n"), nullptr);
  EXPECT_EQ(g_allocations.live, 0);
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

// A key line whose name text is empty (it starts with byte 0) fails the load.
TEST_F(OpenTest, KeyWithEmptyNameTextFailsTheLoad) {
  const int descriptors = OpenDescriptorCount();
  ExpectCleanFailure(Load(std::string("[a]\nk=1\n\0x=2\n", 12)), descriptors, iniPath);
}

// Permission bits do not stop root, so the load runs in a child that has dropped to an
// unprivileged user.
TEST_F(OpenTest, FolderWithoutWritePermissionFailsEveryLoad) {
  const std::string sub = dir.File("readonly");
  const std::string path = sub + "/test.ini";
  ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
  WriteFile(path, "[a]\nk=1\n");
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(sub.c_str(), 0555), 0);
  const int status = InChild([&] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 10;
    if (FILE* readable = fopen(path.c_str(), "rb")) fclose(readable);
    else return 11;
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (OpenIni(path.c_str()) != nullptr) return 1;
    }
    return EntryExists(WorkingCopyName(path)) ? 2 : 0;
  });
  EXPECT_EQ(status, 0);
}

// The working copy cannot grow past a file-size limit: the load fails instead of giving
// values from a short copy.
TEST_F(OpenTest, FailedWorkingCopyWriteFailsTheLoad) {
  std::string text = "[a]\n";
  while (text.size() < 20000) text += "k" + std::to_string(text.size()) + "=1\n";
  WriteFile(iniPath, text);
  const int status = InChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {1000, 1000};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
    if (OpenIni(iniPath.c_str()) != nullptr) return 1;
    return EntryExists(WorkingCopyName(iniPath)) ? 2 : 0;
  });
  EXPECT_EQ(status, 0);
}

// Each allocation of a load fails in turn; every such load fails cleanly, and the load
// without a failure gives the full model.
TEST_F(OpenTest, EveryAllocationFailureFailsTheLoadCleanly) {
  const std::string text =
      "top=1\n[a]\nx=2\n[b]\ny=3\n[a]\nx=4\nz=5\n[]\nt=6\n[ c ]\n c key = 7\n";
  WriteFile(iniPath, text);
  const int descriptors = OpenDescriptorCount();
  size_t failAt = 1;
  for (;; ++failAt) {
    SCOPED_TRACE("failing allocation " + std::to_string(failAt));
    g_allocations = AllocationCounters{};
    g_allocations.failAt = failAt;
    IniFile* ini = OpenIni(iniPath.c_str());
    if (g_allocations.made < failAt) {
      ASSERT_NE(ini, nullptr);
      EXPECT_EQ(DescribeModel(ini, text),
                (std::vector<std::string>{"[] top=<1> t=<6>", "[a] x=<4> z=<5>", "[b] y=<3>",
                                          "[c] c key=< 7>"}));
      CloseIni(ini);
      break;
    }
    ExpectCleanFailure(ini, descriptors, iniPath);
    EXPECT_EQ(ReadFile(iniPath), text);
  }
  // IniFile, path, each name text (read again for repeats) and each record.
  EXPECT_GE(failAt, 18u);
}
