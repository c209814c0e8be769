# The cursor and logon features' data, drawn by tools/cursor_art.py: the cursor-role pictures
# the program carries (resources/CursorRoles.rc), the sample cursor package "Grove", the logon
# form's "no preview" picture, and the sample logon screen "Grove" with its picture.
set(feature_art_dir ${art_dir}/cursors)
set(cursor_role_bitmaps)
foreach(role ARROW APPSTARTING WAIT HELP NO IBEAM UPARROW SIZENS SIZEWE SIZENWSE SIZENESW
        CROSSHAIR SIZEALL NWPEN)
  list(APPEND cursor_role_bitmaps ${feature_art_dir}/roles/${role}.bmp)
endforeach()
set(grove_cursors)
foreach(file arrow.cur working.cur cross.cur help.cur beam.cur no.cur pen.cur move.cur nesw.cur
        ns.cur nwse.cur we.cur up.cur busy.ani hand.cur)
  list(APPEND grove_cursors ${feature_art_dir}/Grove/${file})
endforeach()
set(logon_pictures ${feature_art_dir}/nopreview.bmp ${feature_art_dir}/logon_preview.bmp)
add_custom_command(OUTPUT ${cursor_role_bitmaps} ${grove_cursors} ${logon_pictures}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/cursor_art.py ${feature_art_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/cursor_art.py ${PROJECT_SOURCE_DIR}/tools/make_art.py
          ${PROJECT_SOURCE_DIR}/tools/pictures.py
  COMMENT "Drawing the cursors and the logon pictures")
add_custom_target(cursor_art DEPENDS ${cursor_role_bitmaps} ${grove_cursors} ${logon_pictures})
set_property(SOURCE ${LUMAGROVE_PICTURES_RC} ${PROJECT_SOURCE_DIR}/resources/Lumagrove.rc
             APPEND PROPERTY OBJECT_DEPENDS ${cursor_role_bitmaps})

# The sample logon screen: a program of its own, beside its picture.
set(grove_logon_dir ${LUMAGROVE_PROGRAM_DIR}/Logons/Grove)
add_executable(GroveLogon WIN32 ${PROJECT_SOURCE_DIR}/data/Logons/Grove/Grove.cpp
               ${PROJECT_SOURCE_DIR}/data/Logons/Grove/Grove.rc)
set_target_properties(GroveLogon PROPERTIES OUTPUT_NAME Grove
                      RUNTIME_OUTPUT_DIRECTORY ${grove_logon_dir})
target_include_directories(GroveLogon PRIVATE ${art_dir})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/data/Logons/Grove/Grove.rc APPEND PROPERTY
             OBJECT_DEPENDS ${art_dir}/app.ico)
add_dependencies(GroveLogon artwork)
target_link_options(GroveLogon PRIVATE -s)
lumagrove_warnings(GroveLogon)

add_custom_target(cursor_logon_data ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMAGROVE_PROGRAM_DIR}/CursorThemes/Grove
          ${grove_logon_dir}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${grove_cursors}
          ${PROJECT_SOURCE_DIR}/data/CursorThemes/Grove/Grove.ctheme
          ${LUMAGROVE_PROGRAM_DIR}/CursorThemes/Grove
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${feature_art_dir}/nopreview.bmp
          ${LUMAGROVE_PROGRAM_DIR}/Data/nopreview.bmp
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${feature_art_dir}/logon_preview.bmp
          ${grove_logon_dir}/preview.bmp
  DEPENDS cursor_art program_folder GroveLogon
  COMMENT "Laying out the sample cursor package and logon screen")
add_dependencies(Lumagrove cursor_art cursor_logon_data)
include(${PROJECT_SOURCE_DIR}/bench/CursorFormBench.cmake)
