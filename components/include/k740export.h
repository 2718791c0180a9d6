/* k740export.h -- the export mark of the stand-in components

  Every stand-in (smetersdk.dll, ZXK740API.dll, K740Demod.qmv, hhctrl.ocx,
  libk740sim.so and the test variants built from them) is compiled with
  hidden visibility, so that only the entry points of its interface leave
  the library. Each header of components/include marks those entry points
  with K740_EXPORT.

  The component's own build defines K740_COMPONENT_BUILD (the build's
  k740_component() does it); for a caller the mark expands to nothing, since
  the program never links a component but looks its entry points up by name.
*/
#ifndef K740EXPORT_H
#define K740EXPORT_H

#if defined(K740_COMPONENT_BUILD)
#define K740_EXPORT __attribute__((visibility("default")))
#else
#define K740_EXPORT
#endif

#endif /* K740EXPORT_H */
