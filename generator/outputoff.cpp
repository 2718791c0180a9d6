#include "generator/outputoff.h"

QString SwitchOutputOff(TGenerator &generator, bool clean, const QString &error) {
    generator.Resume();
    try {
        if (!clean) {
            generator.Disconnect();
            generator.Connect();
        }
        generator.SetOutput(false);
        return error;
    } catch (const TGeneratorError &e) {
        const QString off =
            QStringLiteral("The output could not be switched off; it may still be on.\n") +
            e.Message();
        return error.isEmpty() ? off : error + QStringLiteral("\n\n") + off;
    }
}
