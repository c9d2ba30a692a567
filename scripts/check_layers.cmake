# Checks the folder layering of the sources; run by CTest as "layering":
#   cmake -DSOURCE_DIR=<repository> -P scripts/check_layers.cmake
# Fails with one line per fault when
# - a file outside src/app and src/ui includes a Qt Widgets header, or
# - a file includes from a folder above its own. Lowest first: base, render,
#   link, model; then service, cli and ui beside each other, app over ui;
#   cli may include service, nothing else does. sim/ (the virtual card) may
#   include base, render and link. bench/ and tests/ are exempt.

if(NOT SOURCE_DIR)
  get_filename_component(SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

# Folders each folder may include from, besides itself.
set(allowed_base "")
set(allowed_render base)
set(allowed_link base render)
set(allowed_model base render link)
set(allowed_service base render link model)
set(allowed_cli base render link model service)
set(allowed_ui base render link model)
set(allowed_app base render link model ui)
set(allowed_sim base render link)
set(layered base render link model service cli ui app sim)

# The Qt Widgets module header and the widget classes' headers.
set(widget_header "^(QtWidgets(/.*)?|Q(Widget|Dialog|Application|MessageBox|MainWindow|\
PushButton|AbstractButton|Label|LineEdit|ComboBox|SpinBox|DoubleSpinBox|AbstractSpinBox|\
CheckBox|RadioButton|GroupBox|Frame|Menu|MenuBar|ToolBar|ToolButton|StatusBar|TableWidget|\
TableView|TreeWidget|TreeView|ListWidget|ListView|HeaderView|AbstractItemView|ScrollArea|\
AbstractScrollArea|ScrollBar|Slider|AbstractSlider|ProgressBar|TextEdit|PlainTextEdit|\
TextBrowser|TabWidget|TabBar|StackedWidget|Splitter|BoxLayout|HBoxLayout|VBoxLayout|\
GridLayout|FormLayout|Layout|StackedLayout|SizePolicy|Style|CommonStyle|StyleFactory|\
StyleOption[A-Za-z]*|StylePainter|StyledItemDelegate|ItemDelegate|FileDialog|ColorDialog|\
FontDialog|InputDialog|ProgressDialog|DialogButtonBox|ButtonGroup|SystemTrayIcon|ToolTip|\
WhatsThis|Completer|CalendarWidget|DateTimeEdit|DateEdit|TimeEdit|Dial|LCDNumber|\
SplashScreen|Wizard|WizardPage|MdiArea|MdiSubWindow|DockWidget|GraphicsView|GraphicsScene|\
GraphicsItem|GraphicsWidget|RubberBand|SizeGrip|FocusFrame|KeySequenceEdit|ErrorMessage|\
Gesture|FontComboBox|ToolBox|UndoView|ColumnView|DataWidgetMapper|FileSystemModel)(\\.h)?)$")

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp"
  "${SOURCE_DIR}/sim/*.h" "${SOURCE_DIR}/sim/*.cpp")
list(SORT sources)
set(faults 0)
foreach(rel IN LISTS sources)
  if(rel MATCHES "^src/([^/]+)/")
    set(folder "${CMAKE_MATCH_1}")
  elseif(rel MATCHES "^sim/")
    set(folder sim)
  else()
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${rel}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      continue()
    endif()
    set(quote "${CMAKE_MATCH_1}")
    set(header "${CMAKE_MATCH_2}")
    if(NOT folder STREQUAL "ui" AND NOT folder STREQUAL "app" AND header MATCHES "${widget_header}")
      message("${rel}: Qt Widgets header <${header}> outside src/app and src/ui")
      math(EXPR faults "${faults} + 1")
    endif()
    if(quote STREQUAL "\"" AND header MATCHES "^([^/]+)/")
      set(target "${CMAKE_MATCH_1}")
      list(FIND layered "${target}" known)
      list(FIND allowed_${folder} "${target}" permitted)
      if(NOT target STREQUAL folder AND known GREATER -1 AND permitted EQUAL -1)
        message("${rel}: ${folder}/ includes \"${header}\" from ${target}/")
        math(EXPR faults "${faults} + 1")
      endif()
    endif()
  endforeach()
endforeach()
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} layering fault(s)")
endif()
message("layering: ok")
