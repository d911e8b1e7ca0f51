# Builds one student-page template: copies TEMPLATE to OUTPUT with each line
# "<!--@part NAME-->" replaced by the file NAME of the folder PARTS (pieces
# of page the templates share, placeholders included, which may take other
# parts the same way), then each line
# "/*@kit NAME*/" replaced by the file NAME of the kit folder KIT.
#   cmake -DTEMPLATE=src.htm -DKIT=dir [-DPARTS=dir] -DOUTPUT=out.htm -P InlineKit.cmake
#
# The page generator replaces its placeholders and the frame-geometry numbers
# wherever they stand in a template, so the kit must hold none of them (nor
# the data markers), and every template must stay pure ASCII and within the
# 40,003 bytes the generator reads. A kit or template that breaks one of
# these rules stops the build here, naming the rule.
cmake_minimum_required(VERSION 3.25)

set(filler_texts
  170 180 190 600 610 81 399 i_n_s_t_r_u t_i_t_l_e l_a_n_g "RESPOSTA(S):" "Clique em Avanca para continuar"
  f_i_m "Atividade concluida" p_e_r_f_o_r_m_a_n_c_e f_i_l_e "p_e_r_g_u_n_t_a_s:" s_e_g_m_e_n_t_s d_o_n_e
  r_i_g_h_t d_a_t_e t_i_m_e d_e_t_a_i_l_s f_r_e_e t_r_i_a_l_s a_c_e_r_t_o_u a_s_k_n_u_m s_e_n_d En_via
  i_f_o_n_l_i_n_e p_r_i_n_t n_a_m_e "#474792" "#FFFFCC" "#CAC5E4" "#000001" "#000002" "#FFFFFD" Verdana
  Arial Helvetica 13pt 14pt 12pt "w_o_r_d_s:" t_y_p_e Escreva_menor "#F0E8F0" "2     \;" "var Total = 5\;"
  php2/envprint.php "//INICIA DADOS" "//TERMINA DADOS")

file(READ "${TEMPLATE}" page)
# A part may take other parts; a few levels are plenty, and the limit stops a
# part that takes itself.
foreach(level RANGE 3)
  string(REGEX MATCHALL "<!--@part [A-Za-z0-9_.-]+-->" parts "${page}")
  if(NOT parts)
    break()
  endif()
  foreach(include IN LISTS parts)
    string(REGEX REPLACE "^<!--@part (.*)-->$" "\\1" name "${include}")
    if(NOT DEFINED PARTS OR NOT EXISTS "${PARTS}/${name}")
      message(FATAL_ERROR "${TEMPLATE}: there is no shared part ${name}")
    endif()
    file(READ "${PARTS}/${name}" part)
    string(REGEX REPLACE "\n$" "" part "${part}")
    string(REPLACE "${include}" "${part}" page "${page}")
  endforeach()
endforeach()
string(REGEX MATCH "<!--@part [A-Za-z0-9_.-]+-->" left "${page}")
if(left)
  message(FATAL_ERROR "${TEMPLATE}: shared parts nested too deep (does one take itself?)")
endif()
string(REGEX MATCHALL "/\\*@kit [A-Za-z0-9_.-]+\\*/" includes "${page}")
foreach(include IN LISTS includes)
  string(REGEX REPLACE "^/\\*@kit (.*)\\*/$" "\\1" name "${include}")
  if(NOT EXISTS "${KIT}/${name}")
    message(FATAL_ERROR "${TEMPLATE}: the kit has no file ${name}")
  endif()
  file(READ "${KIT}/${name}" part)
  foreach(text IN LISTS filler_texts)
    string(FIND "${part}" "${text}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${KIT}/${name} holds \"${text}\", which the page generator would replace")
    endif()
  endforeach()
  # What the student's browser does not need goes: comments, indentation
  # and empty lines. The kit's sources are written so that this is safe: no
  # "/*" inside a string or pattern, no line continued inside a string.
  string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" part "${part}")
  string(REGEX REPLACE "(^|\n)[ \t]*//[^\n]*" "\\1" part "${part}")
  string(REGEX REPLACE "(^|\n)[ \t]+" "\\1" part "${part}")
  string(REGEX REPLACE "[ \t]+\n" "\n" part "${part}")
  string(REGEX REPLACE "\n\n+" "\n" part "${part}")
  string(REGEX REPLACE "^\n+" "" part "${part}")
  string(REGEX REPLACE "\n$" "" part "${part}")
  string(REPLACE "${include}" "${part}" page "${page}")
endforeach()

string(REGEX MATCH "[^\t\r\n -~]" other "${page}")
if(other)
  message(FATAL_ERROR "${TEMPLATE}: a student-page template must be pure ASCII")
endif()
string(LENGTH "${page}" size)
if(size GREATER 40003)
  message(FATAL_ERROR "${TEMPLATE}: ${size} bytes with the kit, more than the 40,003 the generator reads")
endif()
file(WRITE "${OUTPUT}" "${page}")
