// The windows of the program. They live in a module of their own that the
// executable loads only when it opens its window: the terminal commands then
// start without loading the toolkit and the player's many libraries.
#include "about/ui/AboutForm.h"
#include "app/ui/MainForm.h"
#include "dvd/ui/OpenDVDForm.h"
#include "preview/ui/EditTimeForm.h"
#include "profiles/ui/SettingForm.h"
#include "tasks/ui/EditDVDVolumeForm.h"

#include <QApplication>

extern "C" __attribute__((visibility("default"))) int VelmoraRunWindows(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    // The windows, in this order; all but the main window start hidden.
    TMainForm mainForm(arguments);
    TOpenDVDForm openDvdForm(&mainForm);
    TSettingForm settingForm(&mainForm, mainForm.cmbProfile, mainForm.edtOutputDir,
                             [&mainForm] { mainForm.cmbProfileChange(); });
    TEditDVDVolumeForm editVolumeForm(&mainForm);
    TEditTimeForm editTimeForm(&mainForm);
    TAboutForm aboutForm(&mainForm);
    mainForm.AttachDialogs(&openDvdForm, &settingForm, &editVolumeForm, &editTimeForm, &aboutForm);

    mainForm.show();
    return app.exec();
}
