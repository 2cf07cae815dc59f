// The host functions the plug-in asks for when it binds, in the order it asks for them.
#include "engine_function_names.h"

namespace kelvo::engine {

extern constexpr std::array<const char*, kEngineFunctionCount> kEngineFunctionNames = {
    "_str", "_vec", "absv", "accelerate", "add_buffer", "add_folder", "add_resource", "add_struct",
    "ang", "ang_add", "ang_for_bone", "ang_rotate", "acosv", "asinv", "atanv", "beep",
    "bmap_create", "bmap_createblack", "bmap_fill", "bmap_for_entity", "bmap_for_screen",
    "bmap_for_buffer", "bmap_height", "bmap_lock", "bmap_preload", "bmap_purge", "bmap_unlock",
    "bmap_load", "bmap_remove", "bmap_to_cubemap", "bmap_to_mipmap", "bmap_to_normals",
    "bmap_to_format", "bmap_to_uv", "bmap_width", "c_scan", "cd_pause", "cd_play", "cd_start",
    "cd_track", "clamp", "client_drop", "content", "cosv", "cycle", "diag", "diag_var",
    "digits_set", "draw_begin", "draw_line", "draw_point3d", "draw_text", "draw_textmode", "effect",
    "effect_cpy", "effect_load", "effect_local", "ent_animate", "ent_blend", "ent_blendpose",
    "ent_bonemove", "ent_bonename", "ent_bonereset", "ent_bonereset_all", "ent_bonereset_branch",
    "ent_bonerotate", "ent_bonerotate_parent", "ent_bones", "ent_bonescale", "ent_create",
    "ent_createlayer", "ent_createlocal", "ent_createterrain", "ent_fixnormals", "ent_for_name",
    "ent_frames", "ent_mesh", "ent_morph", "ent_morphskin", "ent_move", "ent_mtlset", "ent_next",
    "ent_playloop", "ent_playsound", "ent_preload", "ent_purge", "ent_remove", "ent_sendnow",
    "ent_skins", "ent_vertices", "error", "exec", "execute", "expv", "facos", "fasin", "fatan",
    "fcos", "file_asc_read", "file_asc_write", "file_chr_read", "file_close", "file_cpy",
    "file_delete", "file_find", "file_for_screen", "file_length", "file_load", "file_open_append",
    "file_open_game", "file_open_read", "file_open_write", "file_rename", "file_save", "file_seek",
    "file_str_read", "file_str_write", "file_var_read", "file_var_write", "font_create", "fsin",
    "ftan", "fraction", "game_save", "game_load", "handle", "integer", "key_for_str", "key_pressed",
    "key_set", "layer_sort", "level_load", "level_mark", "level_free", "logv", "log10v",
    "mat_effect", "mat_identity", "mat_inverse", "mat_multiply", "mat_scale", "mat_set",
    "mat_transpose", "maxv", "minv", "mtl_create", "media_loop", "media_pause", "media_play",
    "media_playing", "media_start", "media_stop", "media_tune", "pan_create", "pan_remove",
    "pan_setpos", "path_getedge", "path_setedge", "path_nextnode", "path_getnode", "path_setnode",
    "path_scan", "path_scannode", "path_set", "path_next", "pixel_for_bmap", "pixel_to_bmap",
    "pixel_for_vec", "pixel_to_vec", "port_in", "port_out", "powv", "proc_client", "proc_local",
    "proc_kill", "proc_status", "ptr_first", "ptr_for_handle", "random", "randomize",
    "rel_for_screen", "rel_to_screen", "send_skill", "send_string", "send_string_to", "send_var",
    "send_var_to", "session_connect", "sign", "sinv", "snd_create", "snd_remove", "snd_loop",
    "snd_play", "snd_playing", "snd_stop", "snd_stopall", "snd_tune", "sqrtv", "str_cat",
    "str_cat_num", "str_clip", "str_cmp", "str_cmpi", "str_cmpni", "str_cpy", "str_create",
    "str_for_asc", "str_for_entname", "str_for_entfile", "str_for_key", "str_for_num", "str_len",
    "str_lwr", "str_remove", "str_stri", "str_to_asc", "str_to_num", "str_trunc", "str_upr",
    "sys_exit", "sys_metrics", "sys_record", "sys_replay", "sys_trial", "tanv", "timer",
    "txt_create", "txt_for_dir", "txt_load", "txt_setinvisible", "txt_setvisible", "txt_sort",
    "txt_str", "trace", "update", "var_for_name", "vec_accelerate", "vec_add", "vec_diff",
    "vec_dist", "vec_dot", "vec_inverse", "vec_length", "vec_lerp", "vec_normalize", "vec_rotate",
    "vec_scale", "vec_set", "vec_sub", "vec_for_angle", "vec_to_angle", "vec_for_bone",
    "vec_for_normal", "vec_for_vertex", "vec_for_max", "vec_for_mesh", "vec_for_min",
    "vec_for_screen", "vec_for_uv", "vec_to_mesh", "vec_to_screen", "vec_to_uv", "vector",
    "view_create", "video_set", "video_switch", "video_window", "c_trace", "c_move", "c_content",
    "c_setminmax", "c_rotate", "c_updatehull", "engine_getobj", "engine_getfunc",
    "engine_getscript", "engine_callname4", "engine_callscript4", "engine_debugposition",
    "engine_debugbreakpoint"
};
// A name too few would be left null.
static_assert(kEngineFunctionNames.back() != nullptr, "every one of the host functions is named");

}  // namespace kelvo::engine
