// What the main window's tests share: the stand-ins' test exports, a fresh
// radio and registry for every test, and a main window that is shown.
#pragma once

#include "app/k740scalib.h"
#include "app/u_mainform.h"
#include "calibration/smsdk.h"
#include "controls/myfrequencyedit.h"
#include "controls/mylabel.h"
#include "controls/myscrollbar.h"
#include "controls/stgauge.h"
#include "controls/stgrid.h"
#include "controls/stpanel.h"
#include "controls/stspeedbutton.h"
#include "platform/libraryloader.h"
#include "platform/registry.h"
#include "receiver/qmvhost.h"
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace mainformtesting {

// A function of a stand-in in build/bin, loaded on first use (the same file
// the program loads, so the same state).
template <typename Function> Function Export(const char *file, const char *name) {
    void *library = dlopen((testsupport::BinDir() + "/" + file).toUtf8().constData(), RTLD_NOW);
    return library ? reinterpret_cast<Function>(dlsym(library, name)) : nullptr;
}

// Whether a library file is mapped into the process.
inline bool Mapped(const QString &path) {
    void *library = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (library) dlclose(library);
    return library != nullptr;
}

inline std::string ApiCalls() {
    auto log = Export<int32_t (*)(char *, int32_t)>("ZXK740API.dll", "k7test_CallLog");
    std::string text(std::size_t(log(nullptr, 0)) + 1, '\0');
    log(text.data(), int32_t(text.size()));
    text.resize(text.size() - 1);
    return text;
}
inline void ResetApiCalls() {
    Export<void (*)()>("ZXK740API.dll", "k7test_ResetCallLog")();
}
inline std::string ModuleCalls() {
    auto log = Export<int32_t (*)(char *, int32_t)>("K740Demod.qmv", "k740demodTestCalls");
    std::string text(std::size_t(log(nullptr, 0)) + 1, '\0');
    log(text.data(), int32_t(text.size()));
    text.resize(text.size() - 1);
    return text;
}
inline void ResetModuleCalls() {
    Export<void (*)()>("K740Demod.qmv", "k740demodTestClearCalls")();
}
inline int Count(const std::string &text, const std::string &part) {
    int n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The program's window of that class (the test fails without one).
template <typename Form> Form &Window() {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<Form *>(window)) return *form;
    throw std::runtime_error(std::string("no window ") + Form::staticMetaObject.className());
}

// A left click on a control.
inline void Click(QWidget &control) {
    testsupport::Click(control);
}

// A configuration of the simulated radio with further receivers.
inline void ConfigureRadio(const QString &path, const QString &text) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toUtf8());
    file.close();
    qputenv("K740SIM_CONFIG", QFile::encodeName(path));
    Export<void (*)()>("ZXK740API.dll", "k7test_Reset")();
}

// The program as a test holds it: created by Start(), ended by reset(), and
// used through its main window (form->..., form.get()).
class TProgramUnderTest {
public:
    TMainForm *operator->() const { return get(); }
    TMainForm &operator*() const { return *get(); }
    TMainForm *get() const { return program_ ? &program_->MainForm() : nullptr; }
    explicit operator bool() const { return bool(program_); }
    void reset() { program_.reset(); }
    TProgram &Program() const { return *program_; }
    TMainForm &Create() {
        program_ = std::make_unique<TProgram>();
        return program_->MainForm();
    }

private:
    std::unique_ptr<TProgram> program_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        qunsetenv("QMV_PLUGIN_PATH");
        qunsetenv("K7FAULT_RECORD_SIZE");
        qunsetenv("K7FAULT_OPEN");
        qunsetenv("K7FAULT_EEP");
        qunsetenv("K740SIM_CONFIG");
        platform::SetLibrarySearchFolder(QString());
        SetModuleFolder(testsupport::BinDir());
    }
    void TearDown() override {
        form.reset();
        platform::SetLibrarySearchFolder(QString());
    }

    // Where the machine key's "SearchPath" lets the module be found.
    void SetModuleFolder(const QString &folder) {
        QSettings key(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("QMV"));
        key.setValue(QStringLiteral("SearchPath"), folder);
        key.sync();
    }

    // The user's registry key, read afresh.
    QSettings &Key() {
        key_ = platform::OpenUserKey();
        return *key_;
    }

    TProgram &Program() { return form.Program(); }
    TReceiverConnection &Receiver() { return Program().Receiver(); }
    TCalDocument &Document() { return Program().Document(); }
    // A control of the main window by its name.
    template <typename T = QWidget> T &Control(const char *name) {
        return testsupport::Child<T>(*form, name);
    }
    // A spectrum message of the module, as its window sends it.
    void Spectrum(std::uint32_t span, std::int64_t bytes, const void *data) {
        TQmvHost::Callback(Receiver().ModuleWindow(), QMV_HOST_SPECTRUM, std::intptr_t(span),
                           std::intptr_t(bytes), reinterpret_cast<std::intptr_t>(data));
    }

    TMainForm &Start() {
        form.Create();
        EXPECT_TRUE(form->ShowAllowed());
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    void SelectRow(int row) { Control<TstGrid>("K7Devs").SetRow(row); }

    void Open(int row = 0) {
        SelectRow(row);
        QTest::mouseClick(&Control("BSelect"), Qt::LeftButton, {}, QPoint(10, 10));
    }
    void CloseButton() {
        QTest::mouseClick(&Control("BClose"), Qt::LeftButton, {}, QPoint(10, 10));
    }

    testsupport::TemporaryRegistry registry;
    testsupport::MessageBoxRecorder boxes;
    QTemporaryDir temp;
    TProgramUnderTest form;

private:
    std::unique_ptr<QSettings> key_;
};

// The text of the module window's visible label `name`, once it shows one
// (within 3 s; empty after that).
inline QString ModuleLine(QWidget &modulePanel, const char *name) {
    QString text;
    auto shown = [&] {
        for (QLabel *label : modulePanel.findChildren<QLabel *>(QLatin1String(name)))
            if (label->isVisible()) text = label->text();
        return !text.isEmpty();
    };
    EXPECT_TRUE(QTest::qWaitFor(shown, 3000)) << name;
    return text;
}

// The port the module window says the simulated generator listens on.
inline int RemotePort(QWidget &modulePanel) {
    const QString text = ModuleLine(modulePanel, "RemoteAddress");
    EXPECT_TRUE(text.startsWith("SCPI 127.0.0.1:")) << text.toStdString();
    return text.section(':', 1).toInt();
}

// The main window on the simulated bench: a fresh radio (no receiver left
// open by a test before in this process) and a live reading every 10 ms.
class BenchWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        qputenv("K740DEMOD_SPECTRUM_MS", "10");
        Export<void (*)()>("ZXK740API.dll", "k7test_Reset")();
    }
    void TearDown() override {
        qunsetenv("K740DEMOD_SPECTRUM_MS");
        MainWindowTest::TearDown();
    }

    int RemotePort() { return mainformtesting::RemotePort(Control<TstPanel>("DMP")); }
    // The simulated generator's answer line to a query of the test's own.
    static QByteArray Ask(int port, const QByteArray &query) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (!s.waitForConnected(2000)) return "<no connection>";
        s.write(query + "\n");
        while (!s.canReadLine())
            if (!s.waitForReadyRead(2000)) return "<no answer>";
        return s.readLine().trimmed();
    }
};

} // namespace mainformtesting
