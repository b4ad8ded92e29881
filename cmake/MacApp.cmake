# Durazizi.app: the core, kit, the seam and the macOS backend (src/macos),
# linked against system frameworks only. Included by CMakeLists.txt on Apple
# platforms instead of the Linux host's targets.
enable_language(OBJCXX)
set(CMAKE_OBJCXX_STANDARD 20)
set(CMAKE_OBJCXX_STANDARD_REQUIRED ON)
set(CMAKE_OSX_DEPLOYMENT_TARGET "13.0" CACHE STRING "The oldest macOS Durazizi runs on")

durazizi_library(durazizi_kit DIRS kit DEPS Threads::Threads)
durazizi_library(durazizi_platform DIRS platform DEPS durazizi_kit)
durazizi_library(durazizi_core DIRS app ax dock specials windowing ui DEPS durazizi_platform)
durazizi_library(durazizi_macos_helpers DIRS macos DEPS durazizi_platform)

# The icon: drawn at every size of an icon set by a tool built for the host
# (cairo, from Homebrew), then made into AppIcon.icns by iconutil.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
add_executable(durazizi-icon ${PROJECT_SOURCE_DIR}/src/tools/durazizi_icon_main.cpp
               ${PROJECT_SOURCE_DIR}/src/tools/icon/Iconset.cpp ${PROJECT_SOURCE_DIR}/src/render/AppIconRaster.cpp
               ${PROJECT_SOURCE_DIR}/src/render/VectorPainter.cpp ${PROJECT_SOURCE_DIR}/src/render/Cairo.cpp)
target_link_libraries(durazizi-icon PRIVATE durazizi_kit PkgConfig::CAIRO)
set(app_iconset ${CMAKE_BINARY_DIR}/AppIcon.iconset)
set(app_icon ${CMAKE_BINARY_DIR}/AppIcon.icns)
add_custom_command(OUTPUT ${app_icon}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${app_iconset}
  COMMAND durazizi-icon ${app_iconset}
  COMMAND iconutil -c icns -o ${app_icon} ${app_iconset}
  DEPENDS durazizi-icon
  COMMENT "AppIcon.icns"
  VERBATIM)
set_source_files_properties(${app_icon} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)

file(GLOB mac_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/macos/*.mm)
set(DURAZIZI_BUNDLE_ID "app.durazizi.Durazizi")
set(MACOSX_BUNDLE_GUI_IDENTIFIER ${DURAZIZI_BUNDLE_ID})
set(MACOSX_BUNDLE_BUNDLE_NAME "Durazizi")
set(MACOSX_BUNDLE_SHORT_VERSION_STRING ${PROJECT_VERSION})
set(MACOSX_BUNDLE_BUNDLE_VERSION ${PROJECT_VERSION})
set(MACOSX_BUNDLE_ICON_FILE AppIcon)
add_executable(Durazizi MACOSX_BUNDLE ${mac_sources} ${app_icon})
set_source_files_properties(${mac_sources} PROPERTIES COMPILE_OPTIONS "-fobjc-arc")
target_compile_options(Durazizi PRIVATE ${DURAZIZI_WARNINGS})
set_target_properties(Durazizi PROPERTIES
  MACOSX_BUNDLE_INFO_PLIST ${PROJECT_SOURCE_DIR}/macos/Info.plist.in
  OUTPUT_NAME Durazizi)
target_link_libraries(Durazizi PRIVATE durazizi_core durazizi_macos_helpers
  "-framework AppKit" "-framework Foundation" "-framework ApplicationServices" "-framework CoreGraphics"
  "-framework QuartzCore" "-framework CoreText" "-framework ImageIO" "-framework ScreenCaptureKit" "-framework EventKit"
  "-framework ServiceManagement")

# Ad-hoc signing with the hardened runtime and the Apple-events entitlement:
# macOS ties its permission grants to the signature.
add_custom_command(TARGET Durazizi POST_BUILD
  COMMAND codesign --force --sign - --options runtime
          --entitlements ${PROJECT_SOURCE_DIR}/macos/Durazizi.entitlements
          $<TARGET_BUNDLE_DIR:Durazizi>
  VERBATIM)

# The unit tests that need no simulated desktop: kit and the backend's plain C++.
if(DURAZIZI_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  foreach(area kit macos)
    file(GLOB_RECURSE area_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${area}/*.cpp)
    add_executable(tests_${area} ${area_sources})
    target_include_directories(tests_${area} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(tests_${area} PRIVATE durazizi_macos_helpers durazizi_kit
                          GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${area} COMMAND tests_${area})
  endforeach()
endif()
