# Parsing Qt's headers takes most of the time of compiling one of our files, so one precompiled
# header of the Qt and standard headers most files use serves every target built with the common
# flags (those linking tavlo_warnings). GCC takes a precompiled header only where the macros it
# was made with are defined alike: its own target defines no more than every Qt user does
# (QT_CORE_LIB) and finds Gui and Widgets by their include folders alone. The header is not
# written for the sources to rely on: each source still includes what it uses.
option(TAVLO_PRECOMPILE "Share one precompiled header of Qt and the standard library" ON)

function(tavlo_collect_targets dir out)
  get_property(found DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    tavlo_collect_targets(${sub} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Called once every target exists.
function(tavlo_share_precompiled_header)
  if(NOT TAVLO_PRECOMPILE OR NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    return()
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/tavlo_precompiled.cpp "// Only carries the precompiled header.\n")
  add_library(tavlo_precompiled STATIC ${CMAKE_BINARY_DIR}/tavlo_precompiled.cpp)
  target_link_libraries(tavlo_precompiled PRIVATE Qt6::Core tavlo_warnings)
  target_include_directories(tavlo_precompiled SYSTEM PRIVATE
    $<TARGET_PROPERTY:Qt6::Gui,INTERFACE_INCLUDE_DIRECTORIES>
    $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
  target_precompile_headers(tavlo_precompiled PRIVATE
    <algorithm> <functional> <memory> <optional> <vector>
    <QAbstractItemModel> <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer>
    <QFile> <QFileInfo> <QHash> <QJsonArray> <QJsonDocument> <QJsonObject> <QList> <QObject>
    <QPointer> <QProcess> <QRandomGenerator> <QRect> <QSettings> <QStandardPaths> <QString>
    <QStringList> <QTemporaryDir> <QTextStream> <QTimeZone> <QTimer> <QUrl> <QVariant>
    <QColor> <QFont> <QFontMetrics> <QImage> <QKeySequence> <QPainter> <QPixmap>
    <QAction> <QApplication> <QDialog> <QFrame> <QHBoxLayout> <QLabel> <QLineEdit> <QListView>
    <QMenu> <QPushButton> <QStyledItemDelegate> <QVBoxLayout> <QWidget>)

  set(flags tavlo_warnings)
  if(NOT TAVLO_SANITIZE)
    list(APPEND flags tavlo_extra_flags)
  endif()
  tavlo_collect_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(libs ${target} LINK_LIBRARIES)
    get_target_property(options ${target} COMPILE_OPTIONS)
    if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|OBJECT_LIBRARY)$" OR target STREQUAL tavlo_precompiled
       OR "${options}" MATCHES "fuzzer")
      continue()
    endif()
    set(common FALSE)
    foreach(flag IN LISTS flags)
      if(flag IN_LIST libs)
        set(common TRUE)
      endif()
    endforeach()
    if(common)
      target_precompile_headers(${target} REUSE_FROM tavlo_precompiled)
    endif()
  endforeach()
endfunction()
