// What the main window's tests share: the stand-ins' test exports, a fresh
// radio and registry for every test, and a main window that is shown.
#pragma once

#include "app/programwindows.h"
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
#include "support/testsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
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

// The program's windows as a test holds them: created by Start(), ended by
// reset(), and used through the main window (form->..., form.get()).
class TProgramUnderTest {
public:
    TMainForm *operator->() const { return get(); }
    TMainForm &operator*() const { return *get(); }
    TMainForm *get() const { return windows_ ? &windows_->Main() : nullptr; }
    explicit operator bool() const { return bool(windows_); }
    void reset() { windows_.reset(); }
    TMainForm &Create() {
        windows_ = std::make_unique<TProgramWindows>();
        return windows_->Main();
    }

private:
    std::unique_ptr<TProgramWindows> windows_;
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

    QSettings &Key() { return *form->RegistryKey(); }

    TMainForm &Start() {
        form.Create();
        EXPECT_TRUE(form->ShowAllowed());
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    void SelectRow(int row) { form->K7Devs->SetRow(row); }

    void Open(int row = 0) {
        SelectRow(row);
        QTest::mouseClick(form->BSelect, Qt::LeftButton, {}, QPoint(10, 10));
    }
    void CloseButton() { QTest::mouseClick(form->BClose, Qt::LeftButton, {}, QPoint(10, 10)); }

    testsupport::TemporaryRegistry registry;
    testsupport::MessageBoxRecorder boxes;
    QTemporaryDir temp;
    TProgramUnderTest form;
};

} // namespace mainformtesting
