#include "receiver/qmvmodule.h"
#include "receiver/radiorecord.h"

#include "platform/registry.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

const QString ModuleName = QStringLiteral("K740Demod.qmv");

QString variantFolder(const char *variant) {
    return testsupport::BinDir() + "/variants/demod-" + variant;
}

// Sets or clears an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<QString> &value) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) old_ = qEnvironmentVariable(name);
        if (value)
            qputenv(name, value->toLocal8Bit());
        else
            qunsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            qputenv(name_, old_->toLocal8Bit());
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    std::optional<QString> old_;
};

void setSearchPath(const QString &value) {
    auto key = platform::OpenMachineQmvKey();
    key->setValue(QStringLiteral("SearchPath"), value);
    key->sync();
}

// Folders that hold a (dummy) module file or none.
class LocateModule : public ::testing::Test {
protected:
    LocateModule() {
        QFile file(withFile.path() + "/" + ModuleName);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not looked into");
    }
    QString expected(const QTemporaryDir &dir) const { return dir.path() + "/" + ModuleName; }

    testsupport::TemporaryRegistry registry;
    ScopedEnv noEnv{"QMV_PLUGIN_PATH", std::nullopt};
    QTemporaryDir withFile, withoutFile;
};

TEST_F(LocateModule, SearchPathWithOrWithoutTrailingSeparator) {
    setSearchPath(withFile.path());
    EXPECT_EQ(TQmvModule::Locate(), expected(withFile));
    setSearchPath(withFile.path() + "/");
    EXPECT_EQ(TQmvModule::Locate(), expected(withFile));
}

TEST_F(LocateModule, SearchPathWinsOverTheEnvironment) {
    QTemporaryDir other;
    QFile(other.path() + "/" + ModuleName).open(QIODevice::WriteOnly);
    setSearchPath(withFile.path());
    ScopedEnv env("QMV_PLUGIN_PATH", other.path());
    EXPECT_EQ(TQmvModule::Locate(), expected(withFile));
}

TEST_F(LocateModule, EmptyOrMissingSearchPathFallsBackToTheEnvironment) {
    ScopedEnv env("QMV_PLUGIN_PATH", withFile.path());
    EXPECT_EQ(TQmvModule::Locate(), expected(withFile));
    setSearchPath(QString());
    EXPECT_EQ(TQmvModule::Locate(), expected(withFile));
}

TEST_F(LocateModule, ASearchPathWithoutTheFileFallsBackToTheEnvironment) {
    setSearchPath(withoutFile.path());
    ScopedEnv env("QMV_PLUGIN_PATH", withFile.path() + "/");
    EXPECT_EQ(TQmvModule::Locate(), expected(withFile));
}

TEST_F(LocateModule, NeitherPointsAtTheFile) {
    EXPECT_EQ(TQmvModule::Locate(), std::nullopt);
    setSearchPath(withoutFile.path());
    ScopedEnv env("QMV_PLUGIN_PATH", withoutFile.path());
    EXPECT_EQ(TQmvModule::Locate(), std::nullopt);
}

TEST_F(LocateModule, AnEmptyEnvironmentValueOrTheCurrentFolderNeverLocates) {
    // The file in the current folder must not be found through an empty value.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(withFile.path());
    setSearchPath(QString());
    ScopedEnv env("QMV_PLUGIN_PATH", QString());
    EXPECT_EQ(TQmvModule::Locate(), std::nullopt);
    QDir::setCurrent(cwd);
}

TEST_F(LocateModule, ValuesLongerThan2048CharactersCountAsAbsent) {
    // Still the same folder to the file system, but too long to be taken.
    const QString padded = withFile.path() + QString(2100, QLatin1Char('/'));
    ASSERT_TRUE(QFile::exists(padded + ModuleName));
    ScopedEnv env("QMV_PLUGIN_PATH", padded);
    EXPECT_EQ(TQmvModule::Locate(), std::nullopt);

    setSearchPath(padded);
    EXPECT_EQ(TQmvModule::Locate(), std::nullopt);

    // Exactly 2048 characters are taken.
    QString exact = withFile.path();
    exact += QString(2048 - exact.size(), QLatin1Char('/'));
    setSearchPath(exact);
    EXPECT_EQ(TQmvModule::Locate(), exact + ModuleName);
}

// The module's record of the calls it received, read through a handle of the
// test's own (the module stays mapped after the binding's unload).
class CallLog {
public:
    explicit CallLog(const QString &path) : library_(platform::LoadLibraryByName(path)) {
        calls_ = reinterpret_cast<int32_t (*)(char *, int32_t)>(
            platform::GetProcAddress(library_, "k740demodTestCalls"));
        clear_ = reinterpret_cast<void (*)()>(
            platform::GetProcAddress(library_, "k740demodTestClearCalls"));
        if (clear_) clear_();
    }
    ~CallLog() { platform::UnloadLibrary(library_); }
    bool valid() const { return calls_ && clear_; }
    QStringList lines() const {
        QByteArray text(calls_(nullptr, 0) + 1, 0);
        calls_(text.data(), int32_t(text.size()));
        return QString::fromLatin1(text.constData()).split('\n', Qt::SkipEmptyParts);
    }

private:
    platform::LibraryHandle library_;
    int32_t (*calls_)(char *, int32_t) = nullptr;
    void (*clear_)() = nullptr;
};

std::unique_ptr<TRadioRecord> demoRecord() {
    std::array<std::uint8_t, TRadioRecord::kDescriptionSize> info{};
    info[22] = 0x28; // 9,000 Hz
    info[23] = 0x23;
    info[26] = 0xFF; // 4,294,967,295 Hz
    info[27] = 0xFF;
    info[28] = 0xFF;
    info[29] = 0xFF;
    return TRadioRecord::Build(info.data());
}

// Whether a library file is mapped into the process.
bool mapped(const QString &path) {
    void *library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (library) dlclose(library);
    return library != nullptr;
}

TEST(LoadModule, RefusedFilesAnswerTheirMessagesAndShowNothing) {
    testsupport::MessageBoxRecorder boxes;
    QTemporaryDir dir;
    QFile file(dir.path() + "/" + ModuleName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("garbage");
    file.close();
    const struct {
        QString path;
        const char *message;
    } refused[] = {
        {file.fileName(), "Unable to load software demodulator K740Demod.qmv."},
        {testsupport::BinDir() + "/libk740sim.so", "Incorrect software demodulator version."},
        {variantFolder("no-notify") + "/" + ModuleName, "Incorrect software demodulator version."},
    };
    for (const auto &[path, message] : refused) {
        TQmvModule module;
        const platform::TResult loaded = module.Load(path);
        EXPECT_FALSE(loaded.Ok()) << path.toStdString();
        EXPECT_EQ(loaded.Message(), QString::fromLatin1(message));
        EXPECT_FALSE(module.IsLoaded());
        EXPECT_FALSE(module.IsNotifyBound());
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

// A library lacking an entry point stays mapped until its message has been
// shown, that is until the result goes; then it is let go.
TEST(LoadModule, AnIncompleteModuleIsUnloadedWhenItsResultGoes) {
    const QString path = variantFolder("no-notify") + "/" + ModuleName;
    TQmvModule module;
    {
        platform::TResult loaded = module.Load(path);
        ASSERT_FALSE(loaded.Ok());
        EXPECT_TRUE(mapped(path));
    }
    EXPECT_FALSE(mapped(path));

    platform::TResult loaded = module.Load(path);
    EXPECT_TRUE(mapped(path));
    loaded.Release();
    EXPECT_FALSE(mapped(path));
    loaded.Release(); // once only
    EXPECT_FALSE(module.IsLoaded());
}

TEST(LoadModule, TheStandInRunsAWholeLifeAndIsDoneOnlyAtTheEnd) {
    testsupport::TemporaryRegistry registry;
    setSearchPath(testsupport::BinDir());
    const auto path = TQmvModule::Locate();
    ASSERT_EQ(path, testsupport::BinDir() + "/" + ModuleName);
    CallLog log(*path);
    ASSERT_TRUE(log.valid());

    testsupport::MessageBoxRecorder boxes;
    TQmvModule module;
    ASSERT_TRUE(module.Load(*path).Ok());
    EXPECT_TRUE(module.Load(*path).Ok()); // loaded already: nothing happens
    EXPECT_TRUE(module.IsNotifyBound());
    ASSERT_TRUE(module.Initialise());

    QWidget host;
    const auto record = demoRecord();
    for (int open = 0; open < 2; ++open) {
        std::int32_t startValue = 0;
        const std::intptr_t window =
            module.Start(std::intptr_t(host.winId()), record->Data(), nullptr, &startValue);
        QWidget *widget = QWidget::find(WId(window));
        ASSERT_TRUE(widget);
        EXPECT_EQ(widget->size(), QSize(476, 199));
        module.Notify(std::intptr_t(host.winId()), QMV_NOTIFY_FREQUENCY, 7100000);
        module.Notify(std::intptr_t(host.winId()), QMV_NOTIFY_STOP);
        EXPECT_FALSE(QWidget::find(WId(window)));
    }
    EXPECT_FALSE(log.lines().contains("qmvPluginDone"));
    module.Unload(); // a failure path: never done
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_FALSE(log.lines().contains("qmvPluginDone"));

    ASSERT_TRUE(module.Load(*path).Ok());
    module.Finish();
    EXPECT_FALSE(module.IsLoaded());
    const QStringList expected = {
        "qmvPluginInit 256",        "qmvPluginStart", "qmvPluginNotify 0x800 7100000",
        "qmvPluginNotify 0x4000 0", "qmvPluginStart", "qmvPluginNotify 0x800 7100000",
        "qmvPluginNotify 0x4000 0", "qmvPluginDone"};
    EXPECT_EQ(log.lines(), expected);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(LoadModule, AModuleWithoutDoneWorksAndIsUnloadedWithoutIt) {
    const QString path = variantFolder("no-done") + "/" + ModuleName;
    CallLog log(path);
    ASSERT_TRUE(log.valid());
    testsupport::MessageBoxRecorder boxes;
    TQmvModule module;
    ASSERT_TRUE(module.Load(path).Ok());
    ASSERT_TRUE(module.Initialise());
    QWidget host;
    const auto record = demoRecord();
    const std::intptr_t window =
        module.Start(std::intptr_t(host.winId()), record->Data(), nullptr, nullptr);
    EXPECT_TRUE(QWidget::find(WId(window)));
    module.Notify(std::intptr_t(host.winId()), QMV_NOTIFY_STOP);
    module.Finish();
    EXPECT_FALSE(module.IsLoaded());
    const QStringList expected = {"qmvPluginInit 256", "qmvPluginStart",
                                  "qmvPluginNotify 0x4000 0"};
    EXPECT_EQ(log.lines(), expected);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(LoadModule, AnInitialisationAnswering0Fails) {
    TQmvModule module;
    ASSERT_TRUE(module.Load(variantFolder("init-fails") + "/" + ModuleName).Ok());
    EXPECT_FALSE(module.Initialise());
    EXPECT_FALSE(module.IsInitialised());
    module.Unload();
    EXPECT_FALSE(module.IsLoaded());
}

TEST(LoadModule, AStartWithoutWindow) {
    TQmvModule module;
    ASSERT_TRUE(module.Load(variantFolder("no-window") + "/" + ModuleName).Ok());
    ASSERT_TRUE(module.Initialise());
    const auto record = demoRecord();
    std::int32_t startValue = 0;
    EXPECT_EQ(module.Start(1, record->Data(), nullptr, &startValue), 0);
    EXPECT_EQ(startValue, 0);
    module.Finish();
}

TEST(LoadModule, NothingLoadedDoesNothing) {
    TQmvModule module;
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_FALSE(module.Initialise());
    EXPECT_EQ(module.Start(1, nullptr, nullptr, nullptr), 0);
    module.Notify(1, QMV_NOTIFY_STOP);
    module.Finish();
}

} // namespace
