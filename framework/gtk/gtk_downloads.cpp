// Downloads a page starts (a link with a download attribute, a blob or data address, an attachment
// reply, a type the engine cannot show) are written only where the player says: the desktop's save
// dialog asks, owned by the page's window, offering the page's suggested name reduced to its last
// part, with overwrite confirmation on. Declined, the download is cancelled and nothing is written.
// One question at a time: a download that starts while it is open is cancelled. (Left to itself,
// WebKitGTK saves every download into the download folder without a word, overwriting what is there.)
#include "framework/gtk/gtk_backend.h"

#include <webkit2/webkit2.h>

#include <string>

namespace {

WebKitDownload* g_pAsking = nullptr; // the download whose question is open

void OnSaveAnswered(GtkNativeDialog* pDialog, gint nResponse, gpointer pData) {
    auto* pDownload = static_cast<WebKitDownload*>(pData);
    gchar* pszPath =
        nResponse == GTK_RESPONSE_ACCEPT ? gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(pDialog)) : nullptr;
    if (pszPath != nullptr) {
        // The player chose the file, and confirmed replacing it if it was there.
        webkit_download_set_allow_overwrite(pDownload, TRUE);
        webkit_download_set_destination(pDownload, pszPath);
        g_free(pszPath);
    } else {
        webkit_download_cancel(pDownload);
    }
    g_pAsking = nullptr;
    g_object_unref(pDownload);
    g_object_unref(pDialog);
}

gboolean OnDecideDestination(WebKitDownload* pDownload, gchar* pszSuggested, gpointer) {
    if (g_pAsking != nullptr) {
        webkit_download_cancel(pDownload);
        return TRUE;
    }
    GtkWindow* pOwner = nullptr;
    if (WebKitWebView* pView = webkit_download_get_web_view(pDownload)) {
        GtkWidget* pTop = gtk_widget_get_toplevel(GTK_WIDGET(pView));
        pOwner = gtk_widget_is_toplevel(pTop) ? GTK_WINDOW(pTop) : nullptr;
    }
    GtkFileChooserNative* pDialog = gtk_file_chooser_native_new(
        GtkUtf8FromUtf16(u"保存文件").c_str(), pOwner, GTK_FILE_CHOOSER_ACTION_SAVE, nullptr, nullptr);
    GtkFileChooser* pChooser = GTK_FILE_CHOOSER(pDialog);
    gtk_file_chooser_set_do_overwrite_confirmation(pChooser, TRUE);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(pDialog), TRUE);
    if (const char* pszFolder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD)) {
        gtk_file_chooser_set_current_folder(pChooser, pszFolder);
    }
    gtk_file_chooser_set_current_name(pChooser, GtkDownloadFileName(pszSuggested).c_str());
    g_pAsking = pDownload;
    g_object_ref(pDownload);
    g_signal_connect(pDialog, "response", GtkGuarded<OnSaveAnswered>(), pDownload);
    gtk_native_dialog_show(GTK_NATIVE_DIALOG(pDialog));
    return TRUE; // the destination follows the answer
}

void OnDownloadStarted(WebKitWebContext*, WebKitDownload* pDownload, gpointer) {
    g_signal_connect(pDownload, "decide-destination", GtkGuarded<OnDecideDestination>(), nullptr);
}

} // namespace

std::string GtkDownloadFileName(const char* pszSuggested) {
    std::string strName = pszSuggested != nullptr ? pszSuggested : "";
    for (char& c : strName) {
        c = c == '\\' ? '/' : c;
    }
    strName.erase(0, strName.find_last_of('/') == std::string::npos ? 0 : strName.find_last_of('/') + 1);
    if (strName.empty() || strName == "." || strName == "..") {
        return "download";
    }
    return strName;
}

void GtkAskBeforeDownloads(WebKitWebContext* pContext) {
    g_signal_connect(pContext, "download-started", GtkGuarded<OnDownloadStarted>(), nullptr);
}
