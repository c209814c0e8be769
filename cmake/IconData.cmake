# The icon feature's data, drawn by tools/icon_art.py at build time: the icon forms' pictures
# (beside the program's other artwork, for Pictures.rc), the shortcut overlays of
# Data\Shortcut.icl, and the two sample packages of IconThemes\ (each an icon collection with
# its package file). The collections are resource-only libraries, as Icon.dll is.
set(icon_packages Meadow Dusk)
set(icon_art_outputs ${art_dir}/mycomputer.ico ${art_dir}/iconmenu.bmp
    ${art_dir}/shortcut/shortcut.rc)
foreach(package ${icon_packages})
  list(APPEND icon_art_outputs ${art_dir}/${package}/${package}.rc
       ${art_dir}/${package}/${package}.iptheme)
endforeach()
add_custom_command(OUTPUT ${icon_art_outputs}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/icon_art.py ${art_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/icon_art.py ${PROJECT_SOURCE_DIR}/tools/make_art.py
          ${PROJECT_SOURCE_DIR}/tools/pictures.py
  COMMENT "Drawing the icon packages, the shortcut overlays and the icon forms' pictures")
add_custom_target(icon_artwork DEPENDS ${icon_art_outputs})
set_property(SOURCE ${LUMAGROVE_PICTURES_RC} ${PROJECT_SOURCE_DIR}/resources/Lumagrove.rc
             APPEND PROPERTY OBJECT_DEPENDS ${art_dir}/mycomputer.ico ${art_dir}/iconmenu.bmp)
add_dependencies(Lumagrove icon_artwork)

# An icon collection (.icl) named Name in Folder, from the resource script Rc.
function(icon_collection target rc folder name)
  add_library(${target} SHARED ${rc})
  add_dependencies(${target} icon_artwork)
  get_filename_component(rc_dir ${rc} DIRECTORY)
  target_include_directories(${target} PRIVATE ${rc_dir})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} PREFIX "" SUFFIX ".icl"
    LINKER_LANGUAGE C LIBRARY_OUTPUT_DIRECTORY ${folder} RUNTIME_OUTPUT_DIRECTORY ${folder})
  target_link_options(${target} PRIVATE -nostdlib -Wl,--entry=0 -s)
  add_dependencies(program_folder ${target})
endfunction()

icon_collection(ShortcutIcl ${art_dir}/shortcut/shortcut.rc ${LUMAGROVE_PROGRAM_DIR}/Data Shortcut)
foreach(package ${icon_packages})
  set(folder ${LUMAGROVE_PROGRAM_DIR}/IconThemes/${package})
  icon_collection(${package}Icl ${art_dir}/${package}/${package}.rc ${folder} ${package})
  add_custom_command(TARGET ${package}Icl POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${art_dir}/${package}/${package}.iptheme
            ${folder}/${package}.iptheme)
endforeach()
