// Every contract a platform implements, each in a file of its own per
// platform (Name_win32.cpp, Name_x11.cpp; the build picks one by
// TOLVANE_PLATFORM). A new platform implements each of them; nothing else in
// the tree has an #ifdef on the platform. Declarations are in the header
// named; this file only lists them.
//
//   contract                       header                      implemented in
//   entry point (main, WinMain),   host/EntryPoint.h           host/Main_*.cpp
//     calling RunScreensaver
//   single-instance guard          host/CommandLine.h          host/InstanceGuard_*.cpp
//     (CCommandLine::IsFirstInstance)
//   host services: version, the    host/HostPlatform.h         host/HostPlatform_*.cpp
//     preview host's size and
//     state, another program's
//     focus
//   whether anyone can see the     host/DisplayPower.h         host/DisplayPower_*.cpp
//     display (its power)
//   full-screen side effects       host/FullScreenEffects.h    host/FullScreenEffects_*.cpp
//     undone, settings given back
//   attaching to a host window     host/glfw_attach.h          host/glfw_attach_*.c (built
//                                                                into GLFW's library)
//   GL entry points                platform/GL.h               platform/GLEntryPoints_*.cpp
//   message boxes                  platform/MessageBox.h       platform/MessageBox_*.cpp
//   a window's native handle       platform/NativeWindow.h     platform/NativeWindow_*.cpp
//   presenting a rectangle         platform/RectanglePresent.h platform/RectanglePresent_*.cpp
//   resource lookup                platform/Resources.h        platform/Resources_*.cpp
//   bitmap pixels                  render/BitmapPixels.h       render/BitmapPixels_*.cpp
//   sound device                   sound/SoundDevice.h         sound/SoundDevice_*.cpp
//   About window                   about/AboutWindow.h         about/AboutWindow_*.cpp
//   opening a web address (X11;    about/OpenAddress.h         about/OpenAddress_x11.cpp
//     Windows opens it inside its
//     About window)
#pragma once
