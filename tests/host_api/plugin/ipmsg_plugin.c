/* A stand-in IP-messenger plug-in for the window manager's tests. It counts how often its
 * entry points run; a test that opens the same file first can choose Init_Plugin's answer.
 * Built without Init_Plugin when QORV_PLUGIN_WITHOUT_INIT is defined. */

int qorv_plugin_init_answer = 1;
int qorv_plugin_init_calls = 0;
int qorv_plugin_destroy_calls = 0;

#ifndef QORV_PLUGIN_WITHOUT_INIT
int Init_Plugin(void) {
    ++qorv_plugin_init_calls;
    return qorv_plugin_init_answer;
}
#endif

int Destory_Plugin(void) {
    ++qorv_plugin_destroy_calls;
    return 1;
}
