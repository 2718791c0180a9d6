/* hhctrl.h -- interface of the HTML help viewer component "hhctrl.ocx"

  The component shows a compiled HTML help file (".chm") in a viewer window
  of its own: the file's table of contents as a tree on the left, the page
  on the right, with links, images, back and forward. The window belongs to
  no other window of the calling program, so the caller stays usable while
  it is open; there is one viewer window per process.

  The component runs inside the caller's process on the caller's Qt: it
  needs a QApplication to exist and must be called on the GUI thread. It is
  loaded by file name and bound at run time (see the pointer type at the
  end); nothing links it.

  Conventions shared by every call:

  - HtmlHelpA is the only entry point of the interface. Its first argument,
    the caller's window, is accepted and not used: the viewer is always a
    window of its own.
  - Texts are 8-bit, zero-terminated, in the local 8-bit encoding of file
    names. The component never keeps a caller's pointer past the call.
  - No call throws, aborts or blocks on anything but reading the help file.
  - A help file is read with its own check of the format: a file that is
    missing, unreadable, truncated or no compiled help file at all is refused
    with the result 0, and no window opens for it.
*/
#ifndef HHCTRL_H
#define HHCTRL_H

#include <stdint.h>

#include "k740export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The file name under which the caller loads the component. */
#define HHCTRL_FILE_NAME "hhctrl.ocx"

/* Commands of HtmlHelpA. */
#define HH_DISPLAY_TOPIC 0x0000 /* show the file's default topic or a named one */
#define HH_CLOSE_ALL 0x0012     /* 18: close every viewer window */
#define HH_INITIALIZE 0x001C    /* 28: prepare the component */

/* HtmlHelpA -- the one entry point.

   window   the caller's window handle, or 0; not used
   file     see the commands
   command  one of the HH_* values above
   data     see the commands

   HH_INITIALIZE  file and window are ignored. data is 0 or points to a
                  uint32_t that receives a cookie (a non-zero number that
                  names this initialisation). Answers 1 when a QApplication
                  exists and the component can show windows, 0 otherwise.
                  Calling it more than once does no harm.

   HH_DISPLAY_TOPIC  file is the path of a ".chm" file, optionally followed by
                  "::" and the path of a page inside it
                  ("help.chm::/pages/intro.html"); data is 0. The help file
                  is opened (again when it is another file than the one
                  shown), the one viewer window is shown, or raised when it
                  is open already, on the named page or else on the file's
                  default topic, and the window's title is the file's own
                  title. Answers the viewer's window handle (a WId, never 0).
                  Answers 0 and leaves any open viewer as it was when file is
                  NULL or empty, when the file cannot be read or is not a
                  valid compiled help file, or when no QApplication exists;
                  HhctrlLastError tells why. The component does not need
                  HH_INITIALIZE first.

   HH_CLOSE_ALL   window, file and data are ignored. Closes and destroys the
                  viewer window at once and closes the help file. Answers 1.
                  The caller may unload the component after this call.

   Any other command answers 0 and does nothing.
*/
K740_EXPORT intptr_t HtmlHelpA(intptr_t window, const char *file, uint32_t command, uintptr_t data);

/* HhctrlLastError -- extension of this component, not part of the viewer's
   interface: the reason of the last refused HH_DISPLAY_TOPIC, as English
   text. Copies at most bufferSize bytes, zero-terminated when there is
   room, and answers the text's full length in bytes (0 after a success). */
K740_EXPORT int32_t HhctrlLastError(char *buffer, int32_t bufferSize);

/* Pointer types for binding the component at run time. */
typedef intptr_t (*HtmlHelpAFn)(intptr_t window, const char *file, uint32_t command,
                                uintptr_t data);
typedef int32_t (*HhctrlLastErrorFn)(char *buffer, int32_t bufferSize);

#ifdef __cplusplus
}
#endif

#endif /* HHCTRL_H */
