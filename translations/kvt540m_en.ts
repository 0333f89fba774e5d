<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>kvt::Box</name>
    <message>
        <source>既に起動しています。</source>
        <translation>The program is already running.</translation>
    </message>
    <message>
        <source>データを保存せずに新規作成しますか？</source>
        <translation>Create a new file without saving the data?</translation>
    </message>
    <message>
        <source>データを保存せずに別のファイルを開きますか？</source>
        <translation>Open another file without saving the data?</translation>
    </message>
    <message>
        <source>データを保存せずに終了しますか？</source>
        <translation>Quit without saving the data?</translation>
    </message>
    <message>
        <source>次回の起動から英語で表示します。</source>
        <translation>From the next start the windows are in English.</translation>
    </message>
    <message>
        <source>次回の起動から日本語で表示します。</source>
        <translation>From the next start the windows are in Japanese.</translation>
    </message>
    <message>
        <source>ＪＩＳ第１水準,第２水準以外の字が選択されてます</source>
        <translation>A character outside JIS levels 1 and 2 is chosen</translation>
    </message>
    <message>
        <source>設定完了</source>
        <translation>Set Complete</translation>
    </message>
</context>
<context>
    <name>kvt::CAboutDlg</name>
    <message>
        <source>KVT540Mのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About KVT540M</translation>
    </message>
</context>
<context>
    <name>kvt::CAllItemsDlg</name>
    <message>
        <source>全項目の設定</source>
        <translation>Send All</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>kvt::CCommSettingDlg</name>
    <message>
        <source>通信の設定</source>
        <translation>Communication Settings</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>kvt::CDeviceSettingDlg</name>
    <message>
        <source>デバイスの設定</source>
        <translation>Device Settings</translation>
    </message>
    <message>
        <source>再検索</source>
        <translation>Search Again</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ネットワーク上のシリアルサーバー (RFC 2217: 回線の設定はこのプログラムから)</source>
        <translation>Serial device server on the network (RFC 2217: this program sets its line)</translation>
    </message>
    <message>
        <source>ネットワーク上のシリアルサーバー (raw TCP)</source>
        <translation>Serial device server on the network (raw TCP)</translation>
    </message>
    <message>
        <source>一覧にないデバイス</source>
        <translation>A device not in the list</translation>
    </message>
</context>
<context>
    <name>kvt::CFleetDlg</name>
    <message>
        <source>フリート</source>
        <translation>Fleet</translation>
    </message>
    <message>
        <source>シートを開く...</source>
        <translation>Open &amp;sheet...</translation>
    </message>
    <message>
        <source>送信後に照合</source>
        <translation>Verify after sending</translation>
    </message>
    <message>
        <source>高速転送</source>
        <translation>Fast transfer</translation>
    </message>
    <message>
        <source>同時に動かす回線数(&amp;L):</source>
        <translation>&amp;Lines at once:</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>all</translation>
    </message>
    <message>
        <source>送信(&amp;D)</source>
        <translation>&amp;Deploy</translation>
    </message>
    <message>
        <source>照合(&amp;V)</source>
        <translation>&amp;Verify</translation>
    </message>
    <message>
        <source>読出(&amp;R)...</source>
        <translation>&amp;Read...</translation>
    </message>
    <message>
        <source>中止(&amp;S)</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>レポート保存(&amp;P)...</source>
        <translation>Save re&amp;port...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>シート %1 は使えません:</source>
        <translation>The sheet %1 cannot be used:</translation>
    </message>
    <message>
        <source>%1 はフォルダではありません。</source>
        <translation>%1 is not a folder.</translation>
    </message>
    <message>
        <source>レポート %1 を書けません。</source>
        <translation>Cannot write the report %1.</translation>
    </message>
    <message>
        <source>フリートの実行中です。中止しますか？</source>
        <translation>The fleet is running. Stop it?</translation>
    </message>
    <message>
        <source>シート (*.csv)</source>
        <translation>Sheets (*.csv)</translation>
    </message>
    <message>
        <source>読み出したファイルを置くフォルダ</source>
        <translation>Folder for the files read</translation>
    </message>
    <message>
        <source>レポート (*.json)</source>
        <translation>Reports (*.json)</translation>
    </message>
</context>
<context>
    <name>kvt::CKVT540MDoc</name>
    <message>
        <source>ﾃﾞｰﾀ(*.dat)</source>
        <translation>Data (*.dat)</translation>
    </message>
</context>
<context>
    <name>kvt::CMainFrame</name>
    <message>
        <source>新規作成</source>
        <translation>New</translation>
    </message>
    <message>
        <source>新規にファイルを作成</source>
        <translation>Create a new file</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>既存のファイルを開く</source>
        <translation>Open an existing file</translation>
    </message>
    <message>
        <source>上書き保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>作業中のファイルを上書きして保存</source>
        <translation>Save the working file over itself</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>作業中のファイルを新しい名前で保存</source>
        <translation>Save the working file under a new name</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示</source>
        <translation>Quit the application; asks to save the file</translation>
    </message>
    <message>
        <source>KVTの設定</source>
        <translation>KVT Settings</translation>
    </message>
    <message>
        <source>通信の設定</source>
        <translation>Communication Settings</translation>
    </message>
    <message>
        <source>全項目の設定</source>
        <translation>Send All Items</translation>
    </message>
    <message>
        <source>高速転送</source>
        <translation>Fast Transfer</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>ページの見え方を確かめる</source>
        <translation>See how the pages look</translation>
    </message>
    <message>
        <source>デバイスの設定</source>
        <translation>Device Settings</translation>
    </message>
    <message>
        <source>COM1..COM3 の先のデバイスを選ぶ</source>
        <translation>Choose the devices behind COM1..COM3</translation>
    </message>
    <message>
        <source>複数表示器へ送信</source>
        <translation>Send to Several Signs</translation>
    </message>
    <message>
        <source>設定を RS-485 の複数の表示器へ送る</source>
        <translation>Send the settings to several signs on RS-485</translation>
    </message>
    <message>
        <source>KVT-540-M のﾊﾞｰｼﾞｮﾝ情報...</source>
        <translation>About KVT-540-M...</translation>
    </message>
    <message>
        <source>ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示</source>
        <translation>Show the program&apos;s information, version and copyright</translation>
    </message>
    <message>
        <source>次回の起動から英語で表示</source>
        <translation>Windows in English from the next start</translation>
    </message>
    <message>
        <source>ﾚﾃﾞｨ</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>ｶﾅ</source>
        <translation>KANA</translation>
    </message>
    <message>
        <source>フリート...</source>
        <translation>Fleet...</translation>
    </message>
    <message>
        <source>シートの表示器へ、すべての回線で同時に送る</source>
        <translation>Send to the signs of a sheet, every line at once</translation>
    </message>
    <message>
        <source>%1: フリートの実行のため閉じました</source>
        <translation>%1: closed for the fleet run</translation>
    </message>
    <message>
        <source>%1: 開き直しました</source>
        <translation>%1: opened again</translation>
    </message>
    <message>
        <source>%1: 開き直せませんでした</source>
        <translation>%1: could not be opened again</translation>
    </message>
</context>
<context>
    <name>kvt::CMultiSignDlg</name>
    <message>
        <source>複数表示器へ送信</source>
        <translation>Send to Several Signs</translation>
    </message>
    <message>
        <source>照合</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>高速転送</source>
        <translation>Fast transfer</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>照合中…</source>
        <translation>Verifying…</translation>
    </message>
    <message>
        <source>送信中…</source>
        <translation>Sending…</translation>
    </message>
    <message>
        <source>正常 %1 / %2</source>
        <translation>OK %1 / %2</translation>
    </message>
</context>
<context>
    <name>kvt::CMyPropertyPage4</name>
    <message>
        <source>文字色</source>
        <translation>Character colour</translation>
    </message>
    <message>
        <source>縁取り色</source>
        <translation>Border colour</translation>
    </message>
</context>
<context>
    <name>kvt::CMyPropertyPage6</name>
    <message>
        <source>非表示</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>On</translation>
    </message>
</context>
<context>
    <name>kvt::CMyPropertySheet</name>
    <message>
        <source>情報（タイトル）の設定</source>
        <translation>Text (Title) Settings</translation>
    </message>
    <message>
        <source>文字背景色ベタ塗りの設定</source>
        <translation>Fill Bordering Settings</translation>
    </message>
    <message>
        <source>文字レベルの設定</source>
        <translation>White Level Settings</translation>
    </message>
    <message>
        <source>文字色の設定</source>
        <translation>Colour Settings</translation>
    </message>
    <message>
        <source>点滅表示の設定</source>
        <translation>Blink Settings</translation>
    </message>
    <message>
        <source>表示/非表示</source>
        <translation>Display On/Off</translation>
    </message>
    <message>
        <source>表示ページの設定</source>
        <translation>Page Select</translation>
    </message>
    <message>
        <source>表示時間の設定</source>
        <translation>Display Time Settings</translation>
    </message>
    <message>
        <source>表示位置微調整</source>
        <translation>Position Trim</translation>
    </message>
</context>
<context>
    <name>kvt::CReadSettingDlg</name>
    <message>
        <source>設定値の読み込み</source>
        <translation>Read the Settings</translation>
    </message>
    <message>
        <source>読み込み</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>メインテナンス以外で読み込み動作を行わないでください。</source>
        <translation>Read the settings back for maintenance only.</translation>
    </message>
</context>
<context>
    <name>kvt::Colour</name>
    <message>
        <source>黒</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>赤</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>緑</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>黄</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>マゼンタ</source>
        <translation>Magenta</translation>
    </message>
    <message>
        <source>シアン</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>白</source>
        <translation>White</translation>
    </message>
    <message>
        <source>ブランク</source>
        <translation>Blank</translation>
    </message>
</context>
<context>
    <name>kvt::FleetTableModel</name>
    <message>
        <source>正常 %1</source>
        <translation>%1 OK</translation>
    </message>
    <message>
        <source>相違 %1</source>
        <translation>%1 differences</translation>
    </message>
    <message>
        <source>失敗 %1</source>
        <translation>%1 failed</translation>
    </message>
    <message>
        <source>中断 %1</source>
        <translation>%1 interrupted</translation>
    </message>
    <message>
        <source>未到達 %1</source>
        <translation>%1 not reached</translation>
    </message>
    <message>
        <source>残り %1</source>
        <translation>%1 to go</translation>
    </message>
    <message>
        <source>1 台</source>
        <translation>1 sign</translation>
    </message>
    <message>
        <source>%1 台</source>
        <translation>%1 signs</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>待機中</source>
        <translation>waiting</translation>
    </message>
    <message>
        <source>接続中</source>
        <translation>opening</translation>
    </message>
    <message>
        <source>ステップ %1/%2</source>
        <translation>step %1/%2</translation>
    </message>
    <message>
        <source>照合中 %1/%2</source>
        <translation>verifying %1/%2</translation>
    </message>
    <message>
        <source>読出中 %1/%2</source>
        <translation>reading %1/%2</translation>
    </message>
    <message>
        <source>完了</source>
        <translation>done</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>ポート</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>スレーブ</source>
        <translation>Slave</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>進行</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>Seconds</translation>
    </message>
</context>
<context>
    <name>kvt::GroupPage</name>
    <message>
        <source>P 1～8</source>
        <translation>P 1-8</translation>
    </message>
    <message>
        <source>P 9～16</source>
        <translation>P 9-16</translation>
    </message>
    <message>
        <source>P17～24</source>
        <translation>P17-24</translation>
    </message>
    <message>
        <source>P25～32</source>
        <translation>P25-32</translation>
    </message>
</context>
<context>
    <name>kvt::PagePreviewWindow</name>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>表示は目安です。実際の表示器とドット単位で一致するとは限りません。</source>
        <translation>A likeness: the sign itself may differ dot by dot.</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Sequence: 表示するページがありません</source>
        <translation>Sequence: no page to show</translation>
    </message>
    <message>
        <source>Sequence: Page %1 (%2 秒)</source>
        <translation>Sequence: Page %1 (%2 s)</translation>
    </message>
</context>
<context>
    <name>kvt::ResultWords</name>
    <message>
        <source>未到達</source>
        <translation>not reached</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>相違 1 件</source>
        <translation>1 difference</translation>
    </message>
    <message>
        <source>相違 %1 件</source>
        <translation>%1 differences</translation>
    </message>
    <message>
        <source>応答を解釈できません</source>
        <translation>Reply Not Understood</translation>
    </message>
    <message>
        <source>ポートが開きません</source>
        <translation>the port did not open</translation>
    </message>
    <message>
        <source>回線のポートが失われました</source>
        <translation>the line&apos;s port failed</translation>
    </message>
    <message>
        <source>中断</source>
        <translation>interrupted</translation>
    </message>
</context>
<context>
    <name>kvt::SettingsPage</name>
    <message>
        <source>%1行目</source>
        <translation>Ln %1</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>全Page設定</source>
        <translation>All Pages</translation>
    </message>
</context>
</TS>
