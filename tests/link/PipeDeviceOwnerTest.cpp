// SPDX-License-Identifier: GPL-3.0-or-later
// The pipe device is taken for the calculator only when nobody else could have made it:
// its root is a folder of this user that no other user may write into, and its folder
// and pipes are this user's. Otherwise it is absent to the poll, and opening it fails
// with a reason that names what is wrong and how to put it right.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/OtherUser.h"
#include "util/CalvyxError.h"

namespace {

// Opening the device fails; the reason the link gives for it.
std::string OpenRefusal()
{
    Link program;
    try {
        program.Open(UsbDeviceNameUpper, LinkBaud);
    } catch (const LinkError& e) {
        if (e.Kind() != LinkErrorKind::NoPermission) return std::string("(kind: ") + LinkErrorKindName(e.Kind()) + ")";
        return e.Reason().empty() ? "(no reason given)" : e.Reason();
    }
    return "(it opened)";
}

TEST(PipeDeviceOwner, AnythingOfAnotherUserIsRefusedWithTheFix)
{
    SKIP_UNLESS_ROOT();
    struct Case {
        const char* what;
        const char* entry; // given to another user, under the root ("" the root itself)
    };
    const Case cases[] = {
        {"the root", ""},
        {"the device's folder", "/QVxT0+"},
        {"the read pipe", "/QVxT0+/PIPE0"},
        {"the write pipe", "/QVxT0+/PIPE1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedDeviceRoot root;
        auto calc = sim::CreateUsbDevice(root.Path());
        ASSERT_TRUE(UsbDevicePresent(UsbDeviceNameUpper)) << "the calculator as the simulator makes it";
        const std::string theirs = root.Path() + c.entry;
        ASSERT_TRUE(GiveToOtherUser(theirs));
        EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper)) << "taken for the calculator";
        const std::string reason = OpenRefusal();
        EXPECT_NE(reason.find(theirs + " belongs to another user (uid 12345); remove it"), std::string::npos) << reason;
        EXPECT_EQ(PipeDeviceProblem(UsbDeviceNameUpper), reason);
    }
}

TEST(PipeDeviceOwner, ARootOthersMayWriteIntoOrALinkIsRefused)
{
    QTemporaryDir real;
    ASSERT_TRUE(real.isValid());
    const std::string path = real.path().toStdString();
    auto calc = sim::CreateUsbDevice(path);
    ScopedEnv chosen("CALVYX_DEVICE_ROOT", path);
    ASSERT_TRUE(UsbDevicePresent(UsbDeviceNameUpper));

    ASSERT_EQ(::chmod(path.c_str(), 0777), 0);
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
    EXPECT_NE(OpenRefusal().find("The folder " + path +
                                 " may be changed by other users (mode 0777); make it private with chmod 700 " + path),
              std::string::npos)
        << OpenRefusal();
    ASSERT_EQ(::chmod(path.c_str(), 0755), 0);
    EXPECT_TRUE(UsbDevicePresent(UsbDeviceNameUpper)) << "others may read the folder, but put nothing there";

    const std::string link = path + "-link";
    ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
    {
        ScopedEnv linked("CALVYX_DEVICE_ROOT", link);
        EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
        EXPECT_NE(OpenRefusal().find("The folder " + link + " is a symbolic link"), std::string::npos) << OpenRefusal();
    }
    ::unlink(link.c_str());
}

TEST(PipeDeviceOwner, AChosenRootThatIsNotThereHoldsNoDeviceAndIsNotMade)
{
    QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    const std::string root = parent.path().toStdString() + "/dev";
    ScopedEnv chosen("CALVYX_DEVICE_ROOT", root);
    EXPECT_EQ(PipeDeviceProblem(UsbDeviceNameUpper), "");
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
    struct stat st {};
    EXPECT_NE(::lstat(root.c_str(), &st), 0) << "a root named by the variable is made by whoever named it";

    // The simulator makes it private, below parents it makes as they come.
    const std::string deeper = parent.path().toStdString() + "/a/b/dev";
    auto calc = sim::CreateUsbDevice(deeper);
    ASSERT_EQ(::lstat(deeper.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ScopedEnv made("CALVYX_DEVICE_ROOT", deeper);
    EXPECT_EQ(PipeDeviceProblem(UsbDeviceNameUpper), "");
    EXPECT_TRUE(UsbDevicePresent(UsbDeviceNameUpper));
}

TEST(PipeDeviceOwner, TheSimulatorRefusesARootOthersMayWriteInto)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_EQ(::chmod(root.path().toLocal8Bit().constData(), 0777), 0);
    try {
        auto calc = sim::CreateUsbDevice(root.path().toStdString());
        ADD_FAILURE() << "the simulator made its pipes in a folder anybody may write into";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("chmod 700 " + root.path().toStdString()), std::string::npos) << e.what();
    }
}

TEST(PipeDeviceOwner, TheDefaultRootIsMadePrivateAndOneOfAnotherUserRefused)
{
    QTemporaryDir session;
    ASSERT_TRUE(session.isValid());
    ScopedEnv noChoice("CALVYX_DEVICE_ROOT", std::nullopt);
    ScopedEnv runtime("XDG_RUNTIME_DIR", session.path().toStdString());
    const std::string root = session.path().toStdString() + "/calvyx";
    ASSERT_EQ(DeviceRoot(), root);
    const mode_t old = ::umask(0);
    EXPECT_EQ(PipeDeviceProblem(UsbDeviceNameUpper), "") << "a missing default root is made";
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::lstat(root.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper)) << "no device in it yet";

    if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root (CI runs the tests as root)";
    // Another user made the folder first, with pipes of their own that answer.
    auto calc = sim::CreateUsbDevice(root);
    ASSERT_TRUE(UsbDevicePresent(UsbDeviceNameUpper));
    for (const char* entry : {"", "/QVxT0+", "/QVxT0+/PIPE0", "/QVxT0+/PIPE1"}) ASSERT_TRUE(GiveToOtherUser(root + entry));
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
    EXPECT_NE(OpenRefusal().find("The folder " + root + " belongs to another user"), std::string::npos) << OpenRefusal();
}

} // namespace
